#!/bin/sh
# Redraws assets/LumenNews.png and assets/LumenNews2.png with our own
# drawing program (libpng and FreeType, the DejaVu fonts).
set -eu
cd "$(dirname "$0")/.."
mkdir -p build
# shellcheck disable=SC2046
c++ -std=c++17 -O2 -Wall -Wextra tools/make-logos.cpp $(pkg-config --cflags --libs libpng freetype2) -o build/make-logos
build/make-logos assets
