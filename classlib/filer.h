// The filer: a minimal form reader and writer. Objects store data of their own beyond plain
// properties through DefineProperties, which names a property, a reader, a writer and whether
// there is anything to write; the filer's ancestor (the object this one was made from, if any)
// lets an object leave out what equals its ancestor's.
#pragma once

#include <functional>
#include <string>

#include "classlib/object.h"

namespace classlib {

class TReader;
class TStream;
class TWriter;

using TReaderProc = std::function<void(TReader* Reader)>;
using TWriterProc = std::function<void(TWriter* Writer)>;

class TFiler : public TObject {
  CL_CLASS(TFiler)
  explicit TFiler(TStream* Stream) : FStream(Stream) {}
  virtual void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                              bool HasData) = 0;
  TPersistent* GetAncestor() const { return FAncestor; }
  void SetAncestor(TPersistent* Value) { FAncestor = Value; }

 protected:
  TStream* FStream;

 private:
  TPersistent* FAncestor = nullptr;
};

// Writes the defined properties of an object as (name, value) pairs closed by an empty name.
class TWriter : public TFiler {
  CL_CLASS(TWriter)
  using TFiler::TFiler;
  void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;
  void WriteProperties(TPersistent* Instance);
  void WriteString(const std::string& Value);
};

// Reads what TWriter wrote back into an object. A stored property the object does not define
// raises EReadError "Property <name> does not exist"; a value of the wrong kind or one that runs
// past the end of the stream raises EReadError too.
class TReader : public TFiler {
  CL_CLASS(TReader)
  using TFiler::TFiler;
  void DefineProperty(const std::string& Name, const TReaderProc& ReadData, const TWriterProc& WriteData,
                      bool HasData) override;
  void ReadProperties(TPersistent* Instance);
  std::string ReadString();

 private:
  std::string ReadName();
  std::string FPropName;
  bool FPropFound = false;
};

}  // namespace classlib
