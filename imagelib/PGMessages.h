// The message table of the image library: every text it shows or raises, in five languages and a
// sixth, nearly empty slot, with lookups that fill the placeholders %S1, %S2 and %S3.
#pragma once

#include <cstdint>
#include <string>

namespace imagelib {

constexpr int PGLangSlots = 6;      // English, German, French, Dutch, Spanish, sixth slot
constexpr int PGLangStrCount = 85;  // ids 0..84

struct TPGLangStrEntry {
  uint8_t Id;
  const char* Texts[PGLangSlots];
};

// Record i carries Id i; the lookups index the table by the id directly.
extern const TPGLangStrEntry PGLangStrEntries[PGLangStrCount];

// The selected slot: 0 English .. 4 Spanish, 5 the sixth slot. Set to 0 at library start-up.
extern uint8_t PGLanguage;

// S := the text of Id in the slot PGLanguage; unchanged when PGLanguage is above 5; empty for an
// id outside the table.
void GetPGLangStr(uint8_t Id, std::string& S);
// As GetPGLangStr, then the first "%S1" is replaced by S1 (once; the argument is not searched again).
void GetPGLangStrS1(uint8_t Id, const std::string& S1, std::string& S);
// Then the first "%S2" of that result by S2.
void GetPGLangStrS2(uint8_t Id, const std::string& S1, const std::string& S2, std::string& S);
// Then the first "%S3" of that result by S3.
void GetPGLangStrS3(uint8_t Id, const std::string& S1, const std::string& S2, const std::string& S3,
                    std::string& S);

// Raises EPixelGraphic "PGLangStrEntries order wrong <i> and <Id> are not identical" at the first
// record whose Id is not its index. The second form checks another table (a test seam).
void CheckLangStrEntries();
void CheckLangStrEntries(const TPGLangStrEntry* Table, int Count);

// Short forms used when raising: the text of Id with the placeholders filled.
std::string PGLangStr(uint8_t Id);
std::string PGLangStrS1(uint8_t Id, const std::string& S1);

}  // namespace imagelib
