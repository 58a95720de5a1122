// TCustomRichEdit: the rich edit control of the class library (the 1.0 window class "RICHEDIT"
// of RICHED32.DLL), with its character attributes of the selection and of new text
// (TTextAttributes, over CHARFORMATA) and its paragraph attributes (TParaAttributes, over
// PARAFORMAT). Before the window exists the attributes read as a zeroed record and setting them
// does nothing. The control reports selection changes, size requests, attempts to change
// protected text and clipboard saving as events, and keeps its text and formatting when its
// window is made anew. TConversion carries the bytes of the control's streams.
#pragma once

#include <functional>
#include <string>

#include "classlib/canvas.h"
#include "classlib/edits.h"
#include "classlib/panels.h"  // TAlignment

namespace classlib {

class TCustomRichEdit;
class TMemoryStream;
class TStream;

enum TAttributeType { atSelected, atDefaultText };

class TTextAttributes : public TPersistent {
  CL_CLASS(TTextAttributes)
  TTextAttributes(TCustomRichEdit* RichEdit, TAttributeType Type) : FRichEdit(RichEdit), FType(Type) {}

  // clWindowText is the automatic colour, which follows the system's text colour.
  TColor GetColor();
  void SetColor(TColor Value);
  std::string GetName();
  void SetName(const std::string& Value);  // cut to 31 characters
  // The pitch travels without a mask of its own, so setting it leaves the control's pitch.
  TFontPitch GetPitch();
  void SetPitch(TFontPitch Value);
  int GetSize();  // points
  void SetSize(int Value);
  TFontStyles GetStyle();
  void SetStyle(TFontStyles Value);
  BYTE GetCharset();
  void SetCharset(BYTE Value);

  // From a TFont or another TTextAttributes.
  void Assign(TPersistent* Source) override;

 protected:
  // To a TFont or another TTextAttributes.
  void AssignTo(TPersistent* Dest) override;

 private:
  void GetAttributes(CHARFORMATA& Format);
  void SetAttributes(CHARFORMATA& Format);
  TCustomRichEdit* FRichEdit;
  TAttributeType FType;
};

// The formatting of the paragraphs the selection touches; indents in points.
class TParaAttributes : public TPersistent {
  CL_CLASS(TParaAttributes)
  explicit TParaAttributes(TCustomRichEdit* RichEdit) : FRichEdit(RichEdit) {}

  TAlignment GetAlignment();
  void SetAlignment(TAlignment Value);
  // The first line's start; the other lines', from the first line's; the right margin.
  int GetFirstIndent() { return GetIndent(&PARAFORMAT::dxStartIndent); }
  void SetFirstIndent(int Value) { SetIndent(PFM_STARTINDENT, &PARAFORMAT::dxStartIndent, Value); }
  int GetLeftIndent() { return GetIndent(&PARAFORMAT::dxOffset); }
  void SetLeftIndent(int Value) { SetIndent(PFM_OFFSET, &PARAFORMAT::dxOffset, Value); }
  int GetRightIndent() { return GetIndent(&PARAFORMAT::dxRightIndent); }
  void SetRightIndent(int Value) { SetIndent(PFM_RIGHTINDENT, &PARAFORMAT::dxRightIndent, Value); }

 private:
  int GetIndent(LONG PARAFORMAT::*Field);
  void SetIndent(DWORD Mask, LONG PARAFORMAT::*Field, int Value);
  void GetAttributes(PARAFORMAT& Format);
  void SetAttributes(PARAFORMAT& Format);
  TCustomRichEdit* FRichEdit;
};

// Moves the bytes between a stream and the rich edit control while it streams its text in or
// out; this one passes them unchanged. Both answer the number of bytes moved.
class TConversion : public TObject {
  CL_CLASS(TConversion)
  virtual int ConvertReadStream(TStream* Stream, char* Buffer, int BufSize);
  virtual int ConvertWriteStream(TStream* Stream, const char* Buffer, int BufSize);
};

// Makes a converter of one class.
using TConversionClass = TConversion* (*)();
template <class T>
TConversion* NewConversion() {
  return new T;
}

using TRichEditResizeEvent = std::function<void(TObject* Sender, TRect Rect)>;
// AllowChange comes in False: protected text stays as it is unless the handler allows the change.
using TRichEditProtectChange = std::function<void(TObject* Sender, int StartPos, int EndPos, bool& AllowChange)>;
// SaveClipboard comes in True: the control's data stay on the clipboard after it goes.
using TRichEditSaveClipboard =
    std::function<void(TObject* Sender, int NumObjects, int NumChars, bool& SaveClipboard)>;

class TCustomRichEdit : public TCustomMemo {
  CL_CLASS(TCustomRichEdit)
  explicit TCustomRichEdit(TComponent* AOwner);
  ~TCustomRichEdit() override;
  void BeforeDestruction() override;

  TTextAttributes* GetSelAttributes() { return FSelAttributes; }
  TTextAttributes* GetDefAttributes() { return FDefAttributes; }
  TParaAttributes* GetParagraph() { return FParagraph; }

  // The selection in characters; reading it makes the window.
  int GetSelStart();
  int GetSelLength();
  // False: the scroll bars of ScrollBars stay, disabled, while the text needs none. A style of
  // the window: a change makes a new window.
  bool GetHideScrollBars() const { return FHideScrollBars; }
  void SetHideScrollBars(bool Value);

  // The converter class that streams use when their caller names none.
  static TConversionClass DefaultConverter;

  TNotifyEvent OnSelectionChange;
  TRichEditResizeEvent OnResizeRequest;
  TRichEditProtectChange OnProtectChange;
  TRichEditSaveClipboard OnSaveClipboard;

 protected:
  void CreateParams(TCreateParams& Params) override;
  // The background colour, the notifications the events need, the text limit, then the text and
  // formatting of the window this one replaces.
  void CreateWndDone() override;
  // Keeps the text and formatting (as rich text) for the next window, unless the control goes.
  void DestroyWnd() override;
  void WndProc(TMessage& Message) override;
  // EM_EXLIMITTEXT.
  void DoSetMaxLength(int Value) override;
  virtual void SelectionChange();
  virtual void RequestSize(const TRect& Rect);
  virtual bool ProtectChange(int StartPos, int EndPos);
  virtual bool SaveClipboard(int NumObjects, int NumChars);

 private:
  TTextAttributes* FSelAttributes;
  TTextAttributes* FDefAttributes;
  TParaAttributes* FParagraph;
  TMemoryStream* FKeptContent = nullptr;
  bool FGoing = false;
  bool FHideScrollBars = true;
};

}  // namespace classlib
