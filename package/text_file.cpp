// Text reading for the manifest, readme and licence entries.
#include "package/text_file.h"

#include <algorithm>
#include <cstdint>
#include <new>

namespace sorvela {

Error ReadWholeFile(Files& files, const std::string& path, std::string* bytes) {
  return ReadFileStart(files, path, UINT64_MAX, bytes);
}

Error ReadFileStart(Files& files, const std::string& path, uint64_t limit, std::string* bytes) {
  std::unique_ptr<ReadFile> file;
  if (Error e = files.Open(path, &file)) return e;
  const uint64_t length = std::min(file->Length(), limit);
  if (length > bytes->max_size()) return MakeError(ErrorKind::kOutOfMemory, "Out of memory");
#if defined(__cpp_exceptions)
  try {
    bytes->resize(static_cast<size_t>(length));
  } catch (const std::bad_alloc&) {
    return MakeError(ErrorKind::kOutOfMemory, "Out of memory");
  }
#else
  bytes->resize(static_cast<size_t>(length));
#endif
  return file->ReadAt(0, bytes->data(), bytes->size());
}

Error WriteWholeFile(Files& files, const std::string& path, const void* data, size_t n) {
  std::unique_ptr<WriteFile> file;
  if (Error e = files.CreateNew(path, &file)) return e;
  if (Error e = file->Append(data, n)) return e;
  return file->Close();
}

Error CopyToNewFile(Files& files, const std::string& from, const std::string& to,
                    std::vector<char>& buffer, CopyProgress* progress) {
  std::unique_ptr<ReadFile> source;
  if (Error e = files.Open(from, &source)) return e;
  std::unique_ptr<WriteFile> target;
  if (Error e = files.CreateNew(to, &target)) return e;
  Error e = CopyBytes(*source, 0, source->Length(), *target, buffer, progress);
  if (!e) e = target->Close();
  if (e) {
    target.reset();
    (void)files.Remove(to);
  }
  return e;
}

Error CopyBytes(ReadFile& source, uint64_t offset, uint64_t n, WriteFile& target,
                std::vector<char>& buffer, CopyProgress* progress) {
  while (n > 0) {
    const size_t piece = static_cast<size_t>(std::min<uint64_t>(n, buffer.size()));
    if (Error e = source.ReadAt(offset, buffer.data(), piece)) return e;
    if (Error e = target.Append(buffer.data(), piece)) return e;
    offset += piece;
    n -= piece;
    if (progress) progress->Copied(piece);
  }
  return Error::Ok();
}

Error FieldReader::Next(std::string* field) {
  auto atSeparator = [&](size_t i) {
    return i < text_.size() && (text_[i] == ',' || text_[i] == '\r' || text_[i] == '\n');
  };
  while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  if (pos_ >= text_.size()) return MakeError(ErrorKind::kPastEnd, "Input past end of file");
  if (text_[pos_] == '"') {
    const size_t close = text_.find('"', pos_ + 1);
    const size_t end = close == std::string_view::npos ? text_.size() : close;
    field->assign(text_.substr(pos_ + 1, end - pos_ - 1));
    pos_ = end == text_.size() ? end : end + 1;
    while (pos_ < text_.size() && !atSeparator(pos_)) ++pos_;
  } else {
    const size_t start = pos_;
    while (pos_ < text_.size() && !atSeparator(pos_)) ++pos_;
    size_t end = pos_;
    while (end > start && text_[end - 1] == ' ') --end;
    field->assign(text_.substr(start, end - start));
  }
  if (pos_ < text_.size()) {
    const char separator = text_[pos_++];
    if (separator == '\r' && pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
  }
  return Error::Ok();
}

std::string TextBoxLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16 + 2);
  size_t pos = 0;
  while (pos < text.size()) {
    size_t cr = text.find('\r', pos);
    if (cr == std::string_view::npos) cr = text.size();
    out.append(text.substr(pos, cr - pos));
    out += "\r\n";
    pos = cr + 1;
    if (pos < text.size() && text[pos] == '\n') ++pos;
  }
  return out;
}

}  // namespace sorvela

namespace sorvela {

std::string PackageIdOf(const std::string& publisher, const std::string& title,
                        const std::string& id) {
  const std::string source = !id.empty() ? id : publisher.empty() ? title : publisher + " " + title;
  constexpr size_t kLongest = 64, kHashed = kLongest - 9;
  std::string key;
  bool lost = false;
  uint32_t hash = 2166136261u;  // FNV-1a: fixed, so the key stays from one run to the next
  for (char c : source) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
    const bool kept = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                      c == ' ' || c == '.' || c == '_' || c == '-';
    lost |= static_cast<unsigned char>(c) >= 0x80 || (kept && key.size() == kLongest);
    if (kept && key.size() < kLongest && !(c == ' ' && (key.empty() || key.back() == ' ')))
      key += c;
  }
  if (lost) {
    key.resize(std::min(key.size(), kHashed));
    key = std::string(WithoutNamePadding(std::string_view(key)));
    if (!key.empty()) key += ' ';
    for (int shift = 28; shift >= 0; shift -= 4) key += "0123456789abcdef"[hash >> shift & 0xF];
  }
  key = std::string(WithoutNamePadding(std::string_view(key)));
  return "Sorvela." + (key.empty() ? std::string("Fonts") : key);
}

}  // namespace sorvela
