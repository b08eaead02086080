#pragma once

// Every setting the program reads or writes: application, section, key, and
// the default its readers pass.
namespace SettingsKeys
{

// Applications.
inline constexpr const char *kPlayer = "KORVANE Vidora 2.3";
inline constexpr const char *kDatabase = "KORVANE DVD database";

// Player switches, section "save".
inline constexpr const char *kSaveSection = "save";
inline constexpr const char *kAutoBookmark = "save"; // on only if "1"
inline constexpr const char *kPlayAtStart = "save2"; // on only if "1"
inline constexpr const char *kFullScreen = "FulScr"; // off only if "0"
inline constexpr const char *kContinueDiscs = "ContinueDiscs"; // off only if "0"

// Colour scheme, section "Colors": decimal 0x00BBGGRR values, "0" when no
// scheme is stored.
inline constexpr const char *kColorsSection = "Colors";
inline constexpr const char *kBackColor = "BkCol";
inline constexpr const char *kOverColor = "OverCol";
inline constexpr const char *kButtonBackColor = "BBackCol";
inline constexpr const char *kButtonForeColor = "BForCol";
inline constexpr const char *kDisplayBackColor = "DBackCol";
inline constexpr const char *kDisplayForeColor = "DForCol";
inline constexpr const char *kSchemeName = "Name";
inline constexpr const char *kSchemeCreator = "Creator";

// Database options, section "DVDdb" of the database application.
inline constexpr const char *kDatabaseSection = "DVDdb";
inline constexpr const char *kDatabasePath = "Path";         // "0" when not set yet
inline constexpr const char *kAddNew = "AddNew";             // off only if "0"
inline constexpr const char *kShowInfo = "ShowInfo";         // off only if "0"
inline constexpr const char *kTotalRecords = "TotalRecords"; // written, never read

} // namespace SettingsKeys
