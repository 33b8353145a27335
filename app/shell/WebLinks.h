// The web addresses the help menu opens. Kept in one place so they are easy to change.
#pragma once

namespace tw::shell {

// The maker's web site (help menu "访问网站").
inline constexpr const char* kWebsiteUrl = "https://korvel.example.com/";
// The users' discussion group (help menu "使用交流").
inline constexpr const char* kForumUrl = "https://korvel.example.com/forum/";

}  // namespace tw::shell
