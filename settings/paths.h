// Every file the plug-in reads or writes on the box, in one place.
#pragma once

namespace paths {
inline constexpr const char* settingsFile = "/var/keys/corvane.cfg";
// A save writes settingsFile + this, then renames it over the settings.
inline constexpr const char* savingSuffix = ".new";
inline constexpr const char* feedFile = "/var/tmp/rss.tmp";      // news feeds, download-area replies
inline constexpr const char* articleFile = "/var/tmp/rss2.tmp";  // article pages
inline constexpr const char* shoutFile = "/var/tmp/shout.tmp";   // shoutbox and statistics replies
// The host loads plug-ins and their artwork from here.
inline constexpr const char* pluginDirectory = "/var/tuxbox/plugins/";
inline constexpr const char* logo = "/var/tuxbox/plugins/LumenNews.png";
inline constexpr const char* aboutLogo = "/var/tuxbox/plugins/LumenNews2.png";
inline constexpr const char* defaultDownloadDir = "/var/tmp/";
}  // namespace paths
