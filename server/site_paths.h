// The request paths and script operations the plug-in uses, named once
// for the site, the sample import and the feeds' links; and the one web
// path the HTTP layer treats apart.
#pragma once

namespace srv {

inline const char* const scriptPath = "/lumennews/index.php";
inline const char* const filesPath = "/lumennews/files/";
// The operator's file upload: the one request whose body may be large.
inline const char* const uploadPath = "/admin/files/upload";

// The values of "op" on scriptPath.
namespace op {
inline const char* const feed = "outmerss";
inline const char* const article = "article";
inline const char* const shoutList = "outme";
inline const char* const postShout = "inme";
inline const char* const statistics = "outmestats2";
inline const char* const category = "outcat";
inline const char* const fileDetail = "outfile";
}  // namespace op

}  // namespace srv
