#pragma once

// The window's messages, word for word: which of them end with "!" matters to users who
// know them.
namespace Messages {
// The file dialog gave no file.
inline constexpr const char* kCannotOpen = "Fehler, Mediandatei kann nicht geöffnet werden!";
// The player refused the file it was given.
inline constexpr const char* kCannotLoad = "Fehler: Mediadatei kann nicht abgespielt werden!";
// A transport command or a fast-forward failed.
inline constexpr const char* kCannotPlay = "Fehler: Mediadatei kann nicht abgespielt werden";
// The go-to failed; the closing quote belongs to the text.
inline constexpr const char* kCannotJump = "Fehler: Sprung nicht möglich!\"";
}  // namespace Messages
