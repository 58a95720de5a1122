// Exception, the root of every error the project raises, and the class library's own errors.
#pragma once

#include <exception>
#include <string>

#include "classlib/object.h"

namespace classlib {

class Exception : public TObject, public std::exception {
  CL_CLASS(Exception)
  explicit Exception(std::string Msg) : FMessage(std::move(Msg)) {}

  const std::string& Message() const { return FMessage; }
  void SetMessage(std::string Msg) { FMessage = std::move(Msg); }
  const char* what() const noexcept override { return FMessage.c_str(); }

 private:
  std::string FMessage;
};

class EAbstractError : public Exception {
  CL_CLASS(EAbstractError)
  using Exception::Exception;
};

class EConvertError : public Exception {
  CL_CLASS(EConvertError)
  using Exception::Exception;
};

class EStreamError : public Exception {
  CL_CLASS(EStreamError)
  using Exception::Exception;
};

class EFOpenError : public EStreamError {
  CL_CLASS(EFOpenError)
  using EStreamError::EStreamError;
};

class EFCreateError : public EStreamError {
  CL_CLASS(EFCreateError)
  using EStreamError::EStreamError;
};

class EReadError : public EStreamError {
  CL_CLASS(EReadError)
  using EStreamError::EStreamError;
};

class EWriteError : public EStreamError {
  CL_CLASS(EWriteError)
  using EStreamError::EStreamError;
};

class EInOutError : public Exception {
  CL_CLASS(EInOutError)
  EInOutError(std::string Msg, int Code) : Exception(std::move(Msg)), ErrorCode(Code) {}
  int ErrorCode;
};

class EListError : public Exception {
  CL_CLASS(EListError)
  using Exception::Exception;
};

class EStringListError : public Exception {
  CL_CLASS(EStringListError)
  using Exception::Exception;
};

class EInvalidOperation : public Exception {
  CL_CLASS(EInvalidOperation)
  using Exception::Exception;
};

class EOutOfResources : public Exception {
  CL_CLASS(EOutOfResources)
  using Exception::Exception;
};

class EOutOfMemory : public Exception {
  CL_CLASS(EOutOfMemory)
  EOutOfMemory() : Exception("Out of memory") {}
};

class EInvalidGraphic : public Exception {
  CL_CLASS(EInvalidGraphic)
  using Exception::Exception;
};

class EInvalidGraphicOperation : public Exception {
  CL_CLASS(EInvalidGraphicOperation)
  using Exception::Exception;
};

class EInvalidOp : public Exception {
  CL_CLASS(EInvalidOp)
  EInvalidOp() : Exception("Invalid floating point operation") {}
};

class EThread : public Exception {
  CL_CLASS(EThread)
  using Exception::Exception;
};

class EPrinter : public Exception {
  CL_CLASS(EPrinter)
  using Exception::Exception;
};

class EClipboardError : public Exception {
  CL_CLASS(EClipboardError)
  using Exception::Exception;
};

class EOleError : public Exception {
  CL_CLASS(EOleError)
  using Exception::Exception;
};

class EOleSysError : public EOleError {
  CL_CLASS(EOleSysError)
  EOleSysError(std::string Msg, long Code) : EOleError(std::move(Msg)), ErrorCode(Code) {}
  long ErrorCode;
};

// The text a message box shows for an exception caught at a boundary: the message with a full stop
// appended unless it has one; what() for other standard exceptions; "Unknown error" otherwise.
std::string ExceptionText(const std::exception_ptr& error);

}  // namespace classlib
