// TIFF files built field by field for the reader's tests, in either byte order: directories with
// values in their entries or after them, strips, chains of directories; and a reading of the
// directories of a file for the writer's tests.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "tests/imagelib/test_streams.h"

namespace tifftest {

using streamtest::Bytes;

enum : uint16_t { tBYTE = 1, tASCII = 2, tSHORT = 3, tLONG = 4, tRATIONAL = 5 };

inline int TypeSize(uint16_t Type) { return Type == tSHORT ? 2 : Type == tLONG ? 4 : Type == tRATIONAL ? 8 : 1; }

struct Field {
  uint16_t Tag, Type;
  std::vector<uint32_t> Values;  // tRATIONAL: numerator and denominator each
};

struct Image {
  std::vector<Field> Fields;
  std::vector<Bytes> Strips;  // StripOffsets and StripByteCounts (tLONG) follow them unless AutoStrips is off
  bool AutoStrips = true;

  Image& Set(uint16_t Tag, uint16_t Type, std::vector<uint32_t> Values) {
    for (Field& f : Fields)
      if (f.Tag == Tag) {
        f = {Tag, Type, std::move(Values)};
        return *this;
      }
    Fields.push_back({Tag, Type, std::move(Values)});
    return *this;
  }
  Image& Drop(uint16_t Tag) {
    for (size_t i = 0; i < Fields.size(); ++i)
      if (Fields[i].Tag == Tag) Fields.erase(Fields.begin() + long(i)), --i;
    return *this;
  }
};

struct File {
  bool Motorola = false;
  std::vector<Image> Images;
  int LoopTo = -1;  // the last directory's next field points back at this image's directory

  void Put(Bytes& B, uint32_t V, int Size) const {
    for (int i = 0; i < Size; ++i) B.push_back(uint8_t(V >> (8 * (Motorola ? Size - 1 - i : i))));
  }
  void Patch(Bytes& B, size_t At, uint32_t V) const {
    Bytes b;
    Put(b, V, 4);
    std::copy(b.begin(), b.end(), B.begin() + long(At));
  }
  // The strips first, then each field's values that do not fit in its entry, then the directory.
  Bytes Build() const {
    Bytes b{uint8_t(Motorola ? 'M' : 'I'), uint8_t(Motorola ? 'M' : 'I')};
    Put(b, 42, 2);
    Put(b, 0, 4);
    size_t link = 4;
    std::vector<uint32_t> directories;
    for (const Image& image : Images) {
      std::vector<Field> fields = image.Fields;
      if (image.AutoStrips) {
        Field offsets{273, tLONG, {}}, counts{279, tLONG, {}};
        for (const Bytes& s : image.Strips) {
          if (b.size() % 2) b.push_back(0);
          offsets.Values.push_back(uint32_t(b.size()));
          counts.Values.push_back(uint32_t(s.size()));
          b.insert(b.end(), s.begin(), s.end());
        }
        fields.push_back(offsets), fields.push_back(counts);
      }
      std::vector<uint32_t> at(fields.size(), 0);
      for (size_t i = 0; i < fields.size(); ++i) {
        const Field& f = fields[i];
        const int size = f.Type == tRATIONAL ? 4 : TypeSize(f.Type);
        if (f.Values.size() * size_t(size) <= 4) continue;
        if (b.size() % 2) b.push_back(0);
        at[i] = uint32_t(b.size());
        for (uint32_t v : f.Values) Put(b, v, size);
      }
      if (b.size() % 2) b.push_back(0);
      directories.push_back(uint32_t(b.size()));
      Patch(b, link, uint32_t(b.size()));
      Put(b, uint32_t(fields.size()), 2);
      for (size_t i = 0; i < fields.size(); ++i) {
        const Field& f = fields[i];
        const int size = f.Type == tRATIONAL ? 4 : TypeSize(f.Type);
        Put(b, f.Tag, 2), Put(b, f.Type, 2);
        Put(b, uint32_t(f.Type == tRATIONAL ? f.Values.size() / 2 : f.Values.size()), 4);
        if (at[i]) {
          Put(b, at[i], 4);
        } else {
          int used = 0;
          for (uint32_t v : f.Values) Put(b, v, size), used += size;
          for (; used < 4; ++used) b.push_back(0);
        }
      }
      link = b.size();
      Put(b, 0, 4);
    }
    if (LoopTo >= 0) Patch(b, link, directories[size_t(LoopTo)]);
    return b;
  }
};

// Rows as PackBits packets of our own making: repeats for three equal bytes or more, literal
// packets for the rest, and a no-op byte (-128) before each row.
inline Bytes PackBits(const Bytes& Row) {
  Bytes out{0x80};
  for (size_t i = 0; i < Row.size();) {
    size_t n = 1;
    while (i + n < Row.size() && n < 128 && Row[i + n] == Row[i]) ++n;
    if (n >= 3) {
      out.push_back(uint8_t(1 - int(n))), out.push_back(Row[i]);
      i += n;
      continue;
    }
    size_t k = 0;
    while (i + k < Row.size() && k < 128 &&
           !(i + k + 2 < Row.size() && Row[i + k] == Row[i + k + 1] && Row[i + k] == Row[i + k + 2]))
      ++k;
    out.push_back(uint8_t(k - 1));
    out.insert(out.end(), Row.begin() + long(i), Row.begin() + long(i + k));
    i += k;
  }
  return out;
}

// The entries of one directory of a file: tag -> type, count and the value field (a tSHORT
// value of count 1 as the number itself).
struct Entry {
  uint16_t Type = 0;
  uint32_t Count = 0, Value = 0;
};
struct Directory {
  bool Motorola = false;
  uint32_t At = 0, Next = 0, EntryCount = 0;
  std::map<uint16_t, Entry> Entries;
  std::vector<uint16_t> Order;
};
inline uint32_t Get(const Bytes& B, size_t At, int Size, bool Motorola) {
  uint32_t v = 0;
  for (int i = 0; i < Size && At + size_t(i) < B.size(); ++i)
    v |= uint32_t(B[At + size_t(i)]) << (8 * (Motorola ? Size - 1 - i : i));
  return v;
}
inline Directory ReadDirectory(const Bytes& B, uint32_t At) {
  Directory d;
  d.Motorola = B.size() > 1 && B[0] == 'M';
  d.At = At;
  d.EntryCount = Get(B, At, 2, d.Motorola);
  for (uint32_t i = 0; i < d.EntryCount; ++i) {
    const size_t e = At + 2 + 12 * i;
    Entry entry{uint16_t(Get(B, e + 2, 2, d.Motorola)), Get(B, e + 4, 4, d.Motorola), 0};
    entry.Value = Get(B, e + 8, entry.Type == tSHORT && entry.Count == 1 ? 2 : 4, d.Motorola);
    const uint16_t tag = uint16_t(Get(B, e, 2, d.Motorola));
    d.Entries[tag] = entry;
    d.Order.push_back(tag);
  }
  d.Next = Get(B, At + 2 + 12 * d.EntryCount, 4, d.Motorola);
  return d;
}

}  // namespace tifftest
