// The text lists of the rich edit 2.0 control. TRichEditStringsEx (the control's Lines) speaks
// ANSI in the control's code page and hands every line operation to TWideRichEditStringsEx, which
// speaks UTF-16 to the window itself; the wide list in turn hands loading and saving to Lines, so
// that the control's stream formats (InputFormat, OutputFormat) are the only way text comes in
// and goes out. Lines are the control's display rows.
#pragma once

#include <string>

#include "classlib/richedit_base.h"
#include "classlib/stringlist.h"
#include "richedit/WideStrList.h"

namespace richedit {

class TCustomRichEditEx;

class TRichEditStringsEx : public classlib::TStrings {
  CL_CLASS(TRichEditStringsEx)
  explicit TRichEditStringsEx(TCustomRichEditEx* RichEdit) : FRichEdit(RichEdit) {}
  ~TRichEditStringsEx() override;
  TRichEditStringsEx(const TRichEditStringsEx&) = delete;
  TRichEditStringsEx& operator=(const TRichEditStringsEx&) = delete;

  std::string Get(int Index) const override;
  // Rows; an empty last row (after a final paragraph mark) does not count.
  int GetCount() const override;
  void Put(int Index, const std::string& S) override;
  // No change event per line.
  void SetTextStr(const std::string& Value) override;
  // No selection events while the lines go in.
  void AddStrings(classlib::TStrings* Strings) override;
  void Clear() override;
  void Delete(int Index) override;
  void Insert(int Index, const std::string& S) override;
  // The file's extension picks a converter, never the format.
  void LoadFromFile(const std::string& FileName) override;
  // In InputFormat; rich text that the control refuses is loaded again, from the same position,
  // as plain text. EOutOfResources "Failed to Load Stream" when that fails too.
  void LoadFromStream(classlib::TStream* Stream) override;
  void SaveToFile(const std::string& FileName) const override;
  // In OutputFormat; EOutOfResources "Failed to Save Stream" on failure.
  void SaveToStream(classlib::TStream* Stream) const override;

 protected:
  void SetUpdateState(bool Updating) override;

 private:
  template <class Body>
  void WithFileConverter(const std::string& FileName, Body&& Run) const;
  TCustomRichEditEx* FRichEdit;
  // Made by the last LoadFromFile or SaveToFile; serves later stream calls.
  mutable classlib::TConversion* FConverter = nullptr;
};

class TWideRichEditStringsEx : public TWideStrings {
  CL_CLASS(TWideRichEditStringsEx)
  explicit TWideRichEditStringsEx(TCustomRichEditEx* RichEdit) : FRichEdit(RichEdit) {}

  // Lines longer than 8192 units come back cut.
  WideString Get(int Index) const override;
  int GetCount() const override;
  void Put(int Index, const WideString& S) override;
  void SetTextStr(const WideString& Value) override;
  // The control's Language.
  void SetLocale(LCID Value) override;
  LCID GetLocale() const override;
  void AddStrings(TWideStrings* Strings) override;
  void Clear() override;
  void Delete(int Index) override;
  // Beyond the last row: appended after it when it is not empty, else nothing. CR, LF and CR LF
  // in S make paragraphs. EOutOfResources "RichEdit line insertion error" when the control did
  // not take the text.
  void Insert(int Index, const WideString& S) override;
  // Through the control's Lines, so in its stream formats.
  void LoadFromFile(const std::string& FileName) override;
  void LoadFromStream(classlib::TStream* Stream) override;
  void SaveToFile(const std::string& FileName) const override;
  void SaveToStream(classlib::TStream* Stream) const override;

 protected:
  void SetUpdateState(bool Updating) override;

 private:
  TCustomRichEditEx* FRichEdit;
};

}  // namespace richedit
