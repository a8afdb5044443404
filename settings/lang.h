// The plug-in's texts, by number (1..55) and language (1..3).
#pragma once
#include "host/estring.h"

namespace texts {

// Every text by what it is; the value is the text's number. Captions and
// labels are glued to a value by the screen that shows them, so they carry
// the line feeds, tabs and blanks of that screen's layout.
enum Id : int {
    // Composed news texts (the article page, a file's details).
    titleCaption = 1,        // "TITLE: "
    authorCaption = 2,       // "\nBY: "
    articleReadsCaption = 3, // blanks, then "Reads: "
    // The shoutbox list's header.
    shoutboxHeading = 4,
    shoutboxColumns = 5,     // "  TIME  |  SHOUTER  ->  MESSAGE"
    // The statistics: labels of its nine values, in reply order.
    statConnections = 6,
    statVisitorsToday = 7,
    statNewsCount = 8,
    statFileCount = 9,
    statShoutCount = 10,
    statTopNews = 11,
    statTopNewsReads = 12,
    statTopFile = 13,
    statTopFileDownloads = 14,
    // The main menu: its title and its seven entries.
    menuTitle = 15,
    menuDownloadArea = 16,
    menuEnglishNews = 17,
    menuItalianNews = 18,
    menuStatistics = 19,
    menuShoutbox = 20,
    menuSettings = 21,
    menuAbout = 22,
    waitConnecting = 23,     // shown while a request runs
    // Titles of the windows the menu opens.
    englishFeedTitle = 24,
    italianFeedTitle = 25,
    shoutboxTitle = 26,
    settingsTitle = 27,
    // The news detail window.
    articleTitle = 28,       // "Read News"
    waitArticle = 29,
    newsWord = 30,           // "News"; no screen shows it
    // The about window.
    aboutTitle = 31,
    aboutCredit = 32,
    aboutVersion = 33,
    // The shoutbox window.
    sendShoutButton = 34,
    refreshButton = 35,
    emptyShoutWarning = 36,
    waitShoutbox = 37,       // after a post, until the list is asked for
    statisticsTitle = 38,
    downloadAreaTitle = 39,
    // A file's details and its download.
    fileSizeCaption = 40,
    fileDownloadsCaption = 41,
    downloadButton = 42,
    cancelButton = 43,
    waitDownload = 44,
    downloadedFile = 45,         // "File " NAME
    downloadedToDirectory = 46,  // " ... directory: " DIR
    downloadCompletedCaption = 47,
    // The settings window and its boxes.
    settingsHelp = 48,
    languageCaption = 49,
    nicknameCaption = 50,
    directoryCaption = 51,
    saveButton = 52,
    noDirectoryWarning = 53,
    noNicknameWarning = 54,
    settingsSaved = 55,
};

inline constexpr int firstId = titleCaption;
inline constexpr int lastId = settingsSaved;
inline constexpr int languages = 3;  // 1 English, 2 French, 3 Italian

}  // namespace texts

// The text `id` in language `lang`; empty for id 0, an unknown id or a
// language outside 1..3.
eString LangT(int id, int lang);
