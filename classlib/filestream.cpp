// TFileStream over CreateFileA (Windows) or POSIX descriptors (native build).
#include <algorithm>

#include "classlib/exceptions.h"
#include "classlib/streams.h"
#include "classlib/winapi.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace classlib {

#ifdef _WIN32

namespace {
DWORD ShareMode(uint16_t Mode) {
  switch (Mode & 0xF0) {
    case fmShareExclusive: return 0;
    case fmShareDenyRead: return FILE_SHARE_WRITE;
    case fmShareDenyNone: return FILE_SHARE_READ | FILE_SHARE_WRITE;
    default: return FILE_SHARE_READ;  // compatible and deny-write: others may still read
  }
}
HANDLE H(intptr_t h) { return reinterpret_cast<HANDLE>(h); }
}  // namespace

TFileStream::TFileStream(const std::string& FileName, uint16_t Mode) : FFileName(FileName) {
  HANDLE h;
  if (Mode == fmCreate) {
    h = CreateFileA(FileName.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) throw EFCreateError("Cannot create file " + FileName);
  } else {
    DWORD access = (Mode & 3) == fmOpenWrite ? GENERIC_WRITE
                   : (Mode & 3) == fmOpenReadWrite ? GENERIC_READ | GENERIC_WRITE
                                                   : GENERIC_READ;
    h = CreateFileA(FileName.c_str(), access, ShareMode(Mode), nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                    nullptr);
    if (h == INVALID_HANDLE_VALUE) throw EFOpenError("Cannot open file " + FileName);
  }
  FHandle = reinterpret_cast<intptr_t>(h);
}

TFileStream::~TFileStream() {
  if (FHandle != -1) CloseHandle(H(FHandle));
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  int64_t done = 0;
  while (done < Count) {
    DWORD chunk = DWORD(std::min<int64_t>(Count - done, 1 << 30)), got = 0;
    if (!ReadFile(H(FHandle), static_cast<char*>(Buffer) + done, chunk, &got, nullptr) || got == 0) break;
    done += got;
  }
  return done;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  int64_t done = 0;
  while (done < Count) {
    DWORD chunk = DWORD(std::min<int64_t>(Count - done, 1 << 30)), put = 0;
    if (!WriteFile(H(FHandle), static_cast<const char*>(Buffer) + done, chunk, &put, nullptr) || put == 0) break;
    done += put;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  LARGE_INTEGER zero{}, here{}, size{};
  SetFilePointerEx(H(FHandle), zero, &here, FILE_CURRENT);
  GetFileSizeEx(H(FHandle), &size);
  LARGE_INTEGER target;
  target.QuadPart = SeekTarget(Offset, Origin, here.QuadPart, size.QuadPart);
  if (!SetFilePointerEx(H(FHandle), target, &here, FILE_BEGIN)) throw EStreamError("Invalid stream position");
  return here.QuadPart;
}

void TFileStream::SetSize(int64_t NewSize) {
  int64_t position = Seek(0, soCurrent);
  Seek(NewSize, soBeginning);
  if (!SetEndOfFile(H(FHandle))) throw EStreamError("Stream write error");
  Seek(std::min(position, NewSize), soBeginning);
}

#else

TFileStream::TFileStream(const std::string& FileName, uint16_t Mode) : FFileName(FileName) {
  int fd;
  if (Mode == fmCreate) {
    fd = open(FileName.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) throw EFCreateError("Cannot create file " + FileName);
  } else {
    int flags = (Mode & 3) == fmOpenWrite ? O_WRONLY : (Mode & 3) == fmOpenReadWrite ? O_RDWR : O_RDONLY;
    fd = open(FileName.c_str(), flags);
    if (fd < 0) throw EFOpenError("Cannot open file " + FileName);
  }
  FHandle = fd;
}

TFileStream::~TFileStream() {
  if (FHandle >= 0) close(int(FHandle));
}

int64_t TFileStream::Read(void* Buffer, int64_t Count) {
  int64_t done = 0;
  while (done < Count) {
    ssize_t got = read(int(FHandle), static_cast<char*>(Buffer) + done, size_t(std::min<int64_t>(Count - done, 1 << 30)));
    if (got <= 0) break;
    done += got;
  }
  return done;
}

int64_t TFileStream::Write(const void* Buffer, int64_t Count) {
  int64_t done = 0;
  while (done < Count) {
    ssize_t put = write(int(FHandle), static_cast<const char*>(Buffer) + done, size_t(std::min<int64_t>(Count - done, 1 << 30)));
    if (put <= 0) break;
    done += put;
  }
  return done;
}

int64_t TFileStream::Seek(int64_t Offset, TSeekOrigin Origin) {
  int64_t here = lseek(int(FHandle), 0, SEEK_CUR);
  struct stat st;
  fstat(int(FHandle), &st);
  int64_t target = SeekTarget(Offset, Origin, here, st.st_size);
  return lseek(int(FHandle), off_t(target), SEEK_SET);
}

void TFileStream::SetSize(int64_t NewSize) {
  if (ftruncate(int(FHandle), off_t(NewSize)) != 0) throw EStreamError("Stream write error");
  if (Seek(0, soCurrent) > NewSize) Seek(NewSize, soBeginning);
}

#endif

}  // namespace classlib
