#pragma once

// The program's identity and the maker's addresses, kept in one place. No Qt
// here, so any part of the program may read them.

namespace vellarion::config {

inline constexpr char kApplicationTitle[] = "Vellarion";
inline constexpr char kVersion[] = "2.1.2";
inline constexpr char kMainWindowCaption[] = "Vellarion 2.1.2";

// The maker's web host and contact address, until the real ones are set.
inline constexpr char kMakerHost[] = "vellarion.example.org";
inline constexpr char kContactAddress[] = "support@vellarion.example.org";
inline constexpr char kWebScheme[] = "https";

// Pages of the maker's site.
inline constexpr char kBackupPage[] = "/backup/";
inline constexpr char kDonatePage[] = "/donate/";
inline constexpr char kHelpPage[] = "/help/";
inline constexpr char kHomePage[] = "/";

} // namespace vellarion::config
