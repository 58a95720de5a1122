// The stream family: a plain Read that may come up short, all-or-error ReadBuffer/WriteBuffer,
// 64-bit positions; memory streams over owned or borrowed memory; file streams.
#pragma once

#include <cstdint>
#include <string>

#include "classlib/object.h"

namespace classlib {

enum TSeekOrigin { soBeginning = 0, soCurrent = 1, soEnd = 2 };
constexpr TSeekOrigin soFromBeginning = soBeginning, soFromCurrent = soCurrent, soFromEnd = soEnd;

class TStream : public TObject {
  CL_CLASS(TStream)
  // Reads up to Count bytes; returns how many it read (0 at the end). Never raises at the end.
  virtual int64_t Read(void* Buffer, int64_t Count) = 0;
  virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
  // A target below 0 raises EStreamError; beyond the end is allowed (the next Read gives 0).
  virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;
  virtual void SetSize(int64_t NewSize);

  int64_t GetPosition() { return Seek(0, soCurrent); }
  void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
  int64_t GetSize();

  void ReadBuffer(void* Buffer, int64_t Count);         // EReadError unless all Count bytes come
  void WriteBuffer(const void* Buffer, int64_t Count);  // EWriteError unless all Count bytes go
  // Copies Count bytes from Source (all of it from the start when Count is 0); returns the count.
  int64_t CopyFrom(TStream* Source, int64_t Count);

 protected:
  // Shared by the memory streams: the new position for Seek, raising below 0.
  static int64_t SeekTarget(int64_t Offset, TSeekOrigin Origin, int64_t Position, int64_t Size);
};

// A stream over a block of memory that it does not own and never grows.
class TCustomMemoryStream : public TStream {
  CL_CLASS(TCustomMemoryStream)
  int64_t Read(void* Buffer, int64_t Count) override;
  // Writes only within the block; a write past its end comes back short.
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  void* GetMemory() const { return FMemory; }
  void SaveToStream(TStream* Stream);
  void SaveToFile(const std::string& FileName);

 protected:
  void SetPointer(void* Ptr, int64_t Size);
  void* FMemory = nullptr;
  int64_t FSize = 0;
  int64_t FPosition = 0;
};

// Owns its block, grows it on writes and zero-fills gaps.
class TMemoryStream : public TCustomMemoryStream {
  CL_CLASS(TMemoryStream)
  TMemoryStream() = default;
  TMemoryStream(const TMemoryStream&) = delete;
  TMemoryStream& operator=(const TMemoryStream&) = delete;
  ~TMemoryStream() override;

  int64_t Write(const void* Buffer, int64_t Count) override;
  void SetSize(int64_t NewSize) override;
  void Clear();
  void LoadFromStream(TStream* Stream);
  void LoadFromFile(const std::string& FileName);

 private:
  void SetCapacity(int64_t NewCapacity);
  int64_t FCapacity = 0;
};

constexpr uint16_t fmCreate = 0xFFFF;
constexpr uint16_t fmOpenRead = 0x0000, fmOpenWrite = 0x0001, fmOpenReadWrite = 0x0002;
constexpr uint16_t fmShareCompat = 0x0000, fmShareExclusive = 0x0010, fmShareDenyWrite = 0x0020,
                   fmShareDenyRead = 0x0030, fmShareDenyNone = 0x0040;

class TFileStream : public TStream {
  CL_CLASS(TFileStream)
  // EFOpenError "Cannot open file <name>" / EFCreateError "Cannot create file <name>".
  TFileStream(const std::string& FileName, uint16_t Mode);
  TFileStream(const TFileStream&) = delete;
  TFileStream& operator=(const TFileStream&) = delete;
  ~TFileStream() override;

  int64_t Read(void* Buffer, int64_t Count) override;
  int64_t Write(const void* Buffer, int64_t Count) override;
  int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
  void SetSize(int64_t NewSize) override;
  const std::string& GetFileName() const { return FFileName; }

 private:
  std::string FFileName;
  intptr_t FHandle = -1;  // a HANDLE on Windows, a descriptor natively
};

}  // namespace classlib
