// Names read from a font file's own `name` table, without the system: the
// face name that the system's font resource file carries after "FONTRES:"
// (the family name as GDI's lfFaceName has it, in the ANSI code page), and
// the full name under which the system's font installer registers a font
// file (in UTF-8, for the registry's Unicode calls).
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "base/code_page.h"

#include "services/services.h"

namespace sorvela {

// "" for anything that is not a readable TrueType font.
std::string ReadFaceName(std::string_view fontBytes);

// The outline kind, from the file's first four bytes alone.
enum class FontKind { kUnknown, kTrueType, kCff, kCollection };
FontKind FontKindOf(std::string_view fontBytes);

enum class FontProblem { kNone, kNotAFont, kDamaged, kNoName, kNameTooLong, kNoOutlines };

struct FontIdentity {
  FontKind kind = FontKind::kUnknown;
  // Name ID 4 as its record holds it, or family and style when a font has
  // none; a collection's fonts joined by " & ". UTF-8, as all names below.
  std::string fullName;
  // The face name an install that named values by family wrote; "" for a collection.
  std::string family;
  // Name ID 5 ("Version 2.001"), of a collection's first font; "" when it has none.
  std::string version;

  // The Fonts key's value name: the full name and the outline kind.
  std::string ValueName() const;
};

// The registry holds value names of at most this many UTF-16 code units.
constexpr size_t kMaxValueNameChars = 16383;

// Checks the table directory of each font in the file against its bytes
// (every table inside the file, the tables every font needs present) and
// reads the full names. Anything else is a problem, and *identity is then
// left as it was. Reads the file's directories and name tables only (each
// name table at most 768 KiB), never its outlines, whatever its size. A read
// that fails makes the font kDamaged and is told in *readError when given.
FontProblem ReadFontIdentity(ReadFile& font, FontIdentity* identity, Error* readError = nullptr);
FontProblem ReadFontIdentity(std::string_view fontBytes, FontIdentity* identity);

// The package's fonts by the Fonts value each would take, to find two that
// take one: the registry tells value names apart by no case, also beyond ASCII.
class ValueOwners {
 public:
  // The file that took the value before, or nullptr when it is new.
  const std::string* Claim(const std::string& valueName, const std::string& file) {
    const auto [owner, isNew] = owners_.emplace(FoldCaseUtf8(valueName), file);
    return isNew ? nullptr : &owner->second;
  }

 private:
  std::map<std::string, std::string> owners_;
};

// Why a font file is not usable, as the install's failure text says it.
std::string DescribeFontProblem(FontProblem problem);

}  // namespace sorvela
