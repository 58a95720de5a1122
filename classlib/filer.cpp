#include "classlib/filer.h"

#include <cstdint>

#include "classlib/exceptions.h"
#include "classlib/streams.h"

namespace classlib {

namespace {
// The one value kind the stored properties use: a string with a 32-bit length.
constexpr uint8_t kStringValue = 0x0C;

void WriteCounted(TStream* Stream, const std::string& S) {
  uint32_t length = uint32_t(S.size());
  Stream->WriteBuffer(&length, 4);
  Stream->WriteBuffer(S.data(), int64_t(S.size()));
}

std::string ReadCounted(TStream* Stream) {
  uint32_t length = 0;
  Stream->ReadBuffer(&length, 4);
  // The length is the stream's word; it never sizes a buffer beyond what the stream holds.
  if (int64_t(length) > Stream->GetSize() - Stream->GetPosition()) throw EReadError("Stream read error");
  std::string s(length, '\0');
  Stream->ReadBuffer(s.data(), length);
  return s;
}
}  // namespace

// ---- TWriter

void TWriter::DefineProperty(const std::string& Name, const TReaderProc&, const TWriterProc& WriteData,
                             bool HasData) {
  if (!HasData || !WriteData) return;
  WriteCounted(FStream, Name);
  WriteData(this);
}

void TWriter::WriteProperties(TPersistent* Instance) {
  Instance->DefineProperties(this);
  WriteCounted(FStream, std::string());
}

void TWriter::WriteString(const std::string& Value) {
  FStream->WriteBuffer(&kStringValue, 1);
  WriteCounted(FStream, Value);
}

// ---- TReader

void TReader::DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc&, bool) {
  if (FPropFound || Name != FPropName || !ReadData) return;
  FPropFound = true;
  ReadData(this);
}

std::string TReader::ReadName() { return ReadCounted(FStream); }

void TReader::ReadProperties(TPersistent* Instance) {
  for (std::string name = ReadName(); !name.empty(); name = ReadName()) {
    FPropName = name;
    FPropFound = false;
    Instance->DefineProperties(this);
    if (!FPropFound) throw EReadError("Property " + name + " does not exist");
  }
  FPropName.clear();
}

std::string TReader::ReadString() {
  uint8_t kind = 0;
  FStream->ReadBuffer(&kind, 1);
  if (kind != kStringValue) throw EReadError("Invalid property value");
  return ReadCounted(FStream);
}

}  // namespace classlib
