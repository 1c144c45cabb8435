#pragma once
// The main window's layout measures, in pixels of the client area, for the files of MainWindow
// that lay it out (building it, and the resize rule).
namespace zorim::layout {

inline constexpr int kClientWidth = 792;
inline constexpr int kClientHeight = 554;
inline constexpr int kControlBarHeight = 60;
inline constexpr int kStatusBarHeight = 19;
inline constexpr int kEditorLeft = 8;
inline constexpr int kEditorTop = 61;
inline constexpr int kEditorWidth = 777;
inline constexpr int kEditorHeight = 470;
inline constexpr int kStripWidth = 18;
inline constexpr int kStripHeight = 4;
inline constexpr int kBorder = 1; // the window's own single border, painted
inline constexpr int kNotePaneHeight = 120; // the note pane under the editor, at most
// The resize rule works on the window's outer size, which the layout measured with a system
// border and caption: 8 pixels wider and 46 higher than the client area.
inline constexpr int kFrameWidth = 8;
inline constexpr int kFrameHeight = 46;

} // namespace zorim::layout
