#pragma once

#include <string>
#include <string_view>

namespace kqvdr {

// The application title changes once the control view knows the instrument's gas-flow range;
// every caption of our own windows is built from whichever title is current.
inline constexpr std::string_view startupTitle = "KQ VDR 1000 Control";
inline constexpr std::string_view standardTitle = "KQ-VDR1000 Control";
inline constexpr std::string_view fineGasTitle = "KQ-VDR1000\u00B5 Control";

inline constexpr std::string_view versionLine = "KQ-VDR1000 Control Version 4.10";
inline constexpr std::string_view copyrightLine =
    "Copyright \u00A9 2026 the KQ-VDR 1000 Control developers";
inline constexpr std::string_view webSiteAddress = "https://www.example.com/kq-vdr1000";
inline constexpr std::string_view webBrowserError = "Error Loading Web Browser!";

// All texts are UTF-8.
std::string titleForGasRange(bool fineGasResolution);

// A window of our own: "<title> - <name>".
std::string windowCaption(std::string_view title, std::string_view windowName);

// The main window while the link is up: "<title> (COM <port>)".
std::string mainWindowCaption(std::string_view title, std::string_view port);

} // namespace kqvdr
