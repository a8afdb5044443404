// Every text of the web pages in English, French and Italian, in one
// table, and the choice of a page's language.
#pragma once
#include <string>

#include "server/shout_intake.h"

namespace srv {
struct Request;
}

namespace srv::web {

enum class Lang { En, Fr, It };

enum class Text {
    Tagline, Home, News, Shoutbox, Downloads, Statistics, Operator, LanguageLabel, Footer,
    LatestNews, ReadMore, LatestShouts, AllShouts, NoNews, NewsInEnglish, NewsInItalian, By, Reads, BackToNews,
    PluginRequests, VisitorsToday, NewsCount, FilesCount, ShoutsCount, TopNews, TopFile, DownloadCount,
    Nickname, Message, Send, ShoutStored, EmptyMessage, MessageTooLong, NickTooLong, BadText, Banned, TooSoon,
    LineTooLong, NotStored, FormExpired, ShoutHint,
    Category, NoFiles, FileTitle, Uploader, Uploaded, Size, Download, Bytes,
    NotFound,
    Login, Password, LogIn, LogOut, WrongPassword, TooManyTries, NoPassword, Overview, ChartCaption,
    ChartRequests, ChartPosts, Delete, DeleteByNick, Ban, Unban, BannedNicks, NewNews, Edit, Preview, Save,
    Language, Title, Author, Summary, BodyHtml, Upload, File, Description, Remove, OperatorLog, Time, Address,
    Action, Done, NeedTitle, UploadTooLarge, UploadFailed, PreviewNote,
    Count_  // the number of texts; keep last
};

const char* say(Text text, Lang lang);

// "en", "fr", "it".
const char* languageCode(Lang lang);
// The language a code names; `fallback` for anything else.
Lang languageOf(const std::string& code, Lang fallback);
// The page's language: a "lang" query value, else the language cookie,
// else the first of Accept-Language that the site speaks, else English.
Lang pageLanguage(const Request& request);
// The news feed a page in `lang` shows: Italian, or English for the others.
const char* newsLanguage(Lang lang);

// What a visitor is told about their post.
Text verdictText(ShoutVerdict verdict);

}  // namespace srv::web
