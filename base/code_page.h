// Text in the system's ANSI code page and in Unicode. The program keeps
// file names, manifest fields and window texts in the ANSI code page, as the
// system's "A" calls take them, and the names of fonts in UTF-8, as their
// records hold them, for the Unicode calls.
#pragma once

#include <string>
#include <string_view>

namespace sorvela {

// The build for Windows asks the system; elsewhere the conversions of a
// Windows-1252 system stand in, so that the package tool and the tests
// predict what a Western system does.

// As the system's own conversion gives it: where a character has no byte of
// its own, a look-alike or '?'.
std::string AnsiFromUtf16(std::u16string_view text);

// Strictly: false for bytes that are no text in the code page (a lead byte
// at the end, an unassigned pair), which the system would read otherwise
// from one call to the next.
bool Utf16FromAnsi(std::string_view ansi, std::u16string* text);

// The same in a code page of its own (1252, 932, 936, 949, 950...), as a
// system set to it reads the bytes; false also for a code page unknown here.
bool Utf16FromCodePage(unsigned codePage, std::string_view bytes, std::u16string* text);

// Upper-cased as the file system folds names, beyond ASCII ("é" and "É" name
// one file); not by the user's locale, in which "i" may not become "I".
std::u16string FoldCase(std::u16string_view text);
// The same for UTF-8: the form in which the registry tells value names apart.
std::string FoldCaseUtf8(std::string_view text);

// UTF-8 both ways. A lone surrogate, which a name record may hold and the
// registry keeps, is carried as its own three bytes, so that nothing is lost
// on the way; an ill-formed byte becomes U+FFFD.
std::string Utf8FromUtf16(std::u16string_view text);
std::u16string Utf16FromUtf8(std::string_view text);

// The ANSI form of a UTF-8 text, for the windows that show ANSI text, and
// the way back; bytes that are no text come through as U+FFFD.
std::string AnsiFromUtf8(std::string_view text);
std::string Utf8FromAnsi(std::string_view ansi);

}  // namespace sorvela
