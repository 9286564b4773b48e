#pragma once
// Fitting a long path into a narrow column: the leading folders give way to "/.../" one at a
// time, so that the end of the path, which tells folders apart, stays readable. Pure text
// work: the caller says how wide a text is, so grids with any font can share it.
#include <functional>
#include <string>
#include <string_view>

namespace twn {

/// Width of a UTF-8 text, in the unit of the available width (pixels for a window).
using TTextWidth = std::function<int(std::string_view)>;

/// The middle marker and the end marker of a shortened path.
inline constexpr std::string_view kPathGap = "...";
inline constexpr std::string_view kPathEllipsis = "\xE2\x80\xA6";  // U+2026

/// `path` as it fits `width`: unchanged when it fits; else "/home/me/a/b" becomes "/.../a/b",
/// then "/.../b"; when even that is too wide, the last folder is cut at its end and "…" added
/// ("/.../Pho…", at worst "…"). The root alone is never changed. Cuts only between UTF-8
/// characters.
std::string ShortenPath(std::string_view path, int width, const TTextWidth& measure);

}  // namespace twn
