// The plug-in's texts, by number (1..55) and language (1..3).
#pragma once
#include "host/estring.h"

// The text `id` in language `lang`; empty for id 0, an unknown id or a
// language outside 1..3.
eString LangT(int id, int lang);
