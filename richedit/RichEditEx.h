// TCustomRichEditEx: a rich text edit control on the platform's rich edit 2.0 window class
// ("RICHEDIT20W" of RICHED20.DLL), and TRichEditEx, the same control as the programs place it.
// Over the class library's rich edit it adds:
// - the 2.0 library's UTF-16 window, with the ANSI text messages of the class library and of
//   callers translated in the code page of the control's Language;
// - links, marked by the system control or by the control's own schemes, with events for the
//   pointer over a link and for a click on one;
// - CHARFORMAT2 attributes, text lists with stream formats and progress events;
// - embedded objects with an object callback and a menu of the selected object's verbs.
// Without the 2.0 library the control is the class library's rich edit (the old control): it
// still streams rich text, and its attributes fall back to the class library's.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/menus.h"
#include "richedit/RichEditExAttributes.h"
#include "richedit/RichEditExBase.h"
#include "richedit/RichEditExURLs.h"
#include "richedit/RichEditOle.h"
#include "richedit/RichEditStrings.h"

namespace richedit {

enum TAutoURLDetect { adNone, adDefault, adExtended };
enum TLangOption { loAutoKeyboard, loAutoFont, loIMECancelComplete, loIMEAlwaysSendNotify };
using TLangOptions = BYTE;  // bit n for TLangOption n
constexpr TLangOptions LangOption(TLangOption Option) { return TLangOptions(1u << Option); }
using TLanguage = LCID;
enum TInputFormat { ifText, ifRTF, ifUnicode };
enum TOutputFormat { ofText, ofRTF, ofRTFNoObjs, ofTextized, ofUnicode };

using TRichEditProgressEvent = std::function<void(classlib::TObject* Sender, int Position, int Size)>;
using TURLClickEvent = std::function<void(classlib::TObject* Sender, const std::string& URL)>;
using TURLMoveEvent = std::function<void(classlib::TObject* Sender, const std::string& URL)>;

// True on the NT family of systems, where the control's window is made and spoken to in UTF-16.
extern bool IsNT;
// The clipboard formats of rich text, registered once for the program.
extern UINT CFRtf, CFRtfNoObjs, CFRetextObj;

class TCustomRichEditEx : public TCustomRichEditExBase {
  CL_CLASS(TCustomRichEditEx)
  explicit TCustomRichEditEx(classlib::TComponent* AOwner);
  ~TCustomRichEditEx() override;

  bool IsOldControl() const override { return FOldControl; }
  bool GetWordFormatting() const override { return FWordFormatting; }
  void SetWordFormatting(bool Value) { FWordFormatting = Value; }
  UINT GetCodePage() const override { return FCodePage; }
  void ReleaseVerbObject() override;

  TTextAttributesEx* GetSelAttributesEx() const { return FSelAttributesEx; }
  TTextAttributesEx* GetDefAttributesEx() const { return FDefAttributesEx; }
  TParaAttributesEx* GetParagraphEx() const { return FParagraphEx; }
  // The text as ANSI lines in the control's code page; loading and saving go through the stream
  // formats below.
  TRichEditStringsEx* GetLines() const { return FLines; }
  void SetLines(classlib::TStrings* Value);
  // The same lines in UTF-16.
  TWideRichEditStringsEx* GetWideLines() const { return FWideLines; }

  TAutoURLDetect GetAutoURLDetect() const { return FAutoURLDetect; }
  void SetAutoURLDetect(TAutoURLDetect Value);
  TURLCollection* GetCustomURLs() const { return FCustomURLs; }
  // The schemes of Value (equal names give one scheme with the last look); null leaves none.
  void SetCustomURLs(TURLCollection* Value);
  TLangOptions GetLangOptions() const { return FLangOptions; }
  void SetLangOptions(TLangOptions Value);
  TLanguage GetLanguage() const { return FLanguage; }
  void SetLanguage(TLanguage Value);
  bool GetShowSelectionBar() const { return FShowSelectionBar; }
  // A change makes a new window.
  void SetShowSelectionBar(bool Value);
  classlib::TColor GetURLColor() const { return FURLColor; }
  void SetURLColor(classlib::TColor Value) { FURLColor = Value; }
  classlib::TCursor GetURLCursor() const { return FURLCursor; }
  void SetURLCursor(classlib::TCursor Value) { FURLCursor = Value; }
  bool GetAutoVerbMenu() const { return FAutoVerbMenu; }
  void SetAutoVerbMenu(bool Value) { FAutoVerbMenu = Value; }
  TInputFormat GetInputFormat() const { return FInputFormat; }
  void SetInputFormat(TInputFormat Value) { FInputFormat = Value; }
  TOutputFormat GetOutputFormat() const { return FOutputFormat; }
  void SetOutputFormat(TOutputFormat Value) { FOutputFormat = Value; }
  // Loads replace, and saves write, only the selection.
  bool GetSelectedInOut() const { return FSelectedInOut; }
  void SetSelectedInOut(bool Value) { FSelectedInOut = Value; }
  bool GetPlainRTF() const { return FPlainRTF; }
  void SetPlainRTF(bool Value) { FPlainRTF = Value; }
  // 0 leaves no undo at all once set.
  int GetUndoLimit() const { return FUndoLimit; }
  void SetUndoLimit(int Value);
  bool GetIncludeOLE() const { return FIncludeOLE; }
  // A change makes a new window; on, the window gets the object callback.
  void SetIncludeOLE(bool Value);
  // Stored only.
  bool GetAllowInPlace() const { return FAllowInPlace; }
  void SetAllowInPlace(bool Value) { FAllowInPlace = Value; }
  IRichEditOle* GetRichEditOle() const { return FRichEditOle; }

  // A message straight to the system control's own procedure, untranslated; 0 without a window.
  LRESULT CallWndProc(UINT Msg, WPARAM WParam, LPARAM LParam);
  // The whole text in UTF-16, a paragraph mark as one CR.
  WideString GetWideText();
  // The text with CR LF paragraph marks, in the control's code page.
  std::string GetText() override;
  // Freezes painting, selection and scrolling while the text is worked on; nests.
  void BeginLock();
  // The outermost one puts the selection and the first visible line back and repaints.
  void EndLock();
  // Closes every embedded object without saving.
  void CloseObjects();
  void Clear() override;
  // Runs a verb of the selected object: Index > 0 is an entry of the verb menu, Index <= 0 a
  // verb number. EOleError "Invalid Verb" beyond the menu.
  void DoVerb(int Index);
  // The verb menu of the selected embedded object while AutoVerbMenu is on, else PopupMenu.
  classlib::TPopupMenu* GetPopupMenu() override;
  // "RTF": the text in OutputFormat, read back in InputFormat.
  void DefineProperties(classlib::TFiler* Filer) override;

  // Links: the range widened to whole words, and the control's own marking of the words in a
  // range with the schemes of CustomURLs (a range of one position: the whole text).
  void FindURLWordBounds(CHARRANGE& Range);
  void MarkCustomURLs(CHARRANGE Range);

  TRichEditProgressEvent OnLoadProgress;
  TRichEditProgressEvent OnSaveProgress;
  TURLClickEvent OnURLClick;
  TURLMoveEvent OnURLMove;

  // For tests: the library to load instead of "RICHED20.DLL"; a missing one makes old controls.
  static void SetLibraryName(const std::string& Name);

 protected:
  void CreateParams(classlib::TCreateParams& Params) override;
  void CreateWindowHandle(const classlib::TCreateParams& Params) override;
  // The event mask, link detection, options and object callback, after the class library's.
  void CreateWndDone() override;
  void WndProc(classlib::TMessage& Message) override;
  // 0 is no limit.
  void DoSetMaxLength(int Value) override;

 private:
  friend class TRichEditStringsEx;
  friend class TWideRichEditStringsEx;
  friend class TWideMode;
  struct TVerb {
    std::string Name;
    LONG Verb;
    UINT MenuFlags;
  };
  bool TranslateText(classlib::TMessage& Message);
  int TextLength();
  // Characters [Start, End) in UTF-16, whatever the window's mode.
  WideString WideTextRange(int Start, int End);
  void MarkAfterEdit(WPARAM Notification);
  void MarkAfterLoad();
  void LinkNotification(const ENLINK& Link);
  WPARAM InputStreamFormat() const;
  WPARAM OutputStreamFormat() const;
  void BuildVerbList();
  void DropVerbMenu();
  void ReadRTF(classlib::TReader* Reader);
  void WriteRTF(classlib::TWriter* Writer);

  int FLockCount = 0;
  HMODULE FLibHandle = nullptr;
  TTextAttributesEx* FSelAttributesEx;
  TTextAttributesEx* FDefAttributesEx;
  TParaAttributesEx* FParagraphEx;
  TRichEditStringsEx* FLines;
  TWideRichEditStringsEx* FWideLines;
  TAutoURLDetect FAutoURLDetect = adNone;
  bool FShowSelectionBar = false;
  classlib::TColor FURLColor = classlib::clBlue;
  classlib::TCursor FURLCursor = classlib::crHandPoint;
  TLanguage FLanguage = 0;
  UINT FCodePage = 0;
  bool FWideMode = false;
  int FLockSelStart = 0, FLockSelLength = 0, FLockFirstLine = 0;
  CHARRANGE FLastSelRange{0, 0};
  bool FOldControl = false;
  TLangOptions FLangOptions = LangOption(loAutoFont);
  WNDPROC FWideWndProc = nullptr;
  WNDPROC FAnsiWndProc = nullptr;
  TURLCollection* FCustomURLs;
  bool FWordFormatting = true;
  int FUndoLimit = 0;
  bool FUndoLimitSet = false;
  TInputFormat FInputFormat = ifRTF;
  TOutputFormat FOutputFormat = ofRTF;
  bool FSelectedInOut = false;
  bool FPlainRTF = false;
  classlib::TOwned<classlib::TPopupMenu> FVerbMenu;
  bool FAutoVerbMenu = true;
  std::unique_ptr<std::vector<TVerb>> FVerbList;
  IOleObject* FVerbObject = nullptr;
  bool FIncludeOLE = false;
  bool FAllowInPlace = false;
  IRichEditOle* FRichEditOle = nullptr;
  TRichEditOleCallback* FOleCallback = nullptr;
};

class TRichEditEx : public TCustomRichEditEx {
  CL_CLASS(TRichEditEx)
  using TCustomRichEditEx::TCustomRichEditEx;
};

// Sets the control's FWideMode for its lifetime and puts the old value back.
class TWideMode {
 public:
  TWideMode(TCustomRichEditEx* RichEdit, bool On) : FRichEdit(RichEdit), FOld(RichEdit->FWideMode) {
    RichEdit->FWideMode = On;
  }
  ~TWideMode() { FRichEdit->FWideMode = FOld; }
  TWideMode(const TWideMode&) = delete;
  TWideMode& operator=(const TWideMode&) = delete;

 private:
  TCustomRichEditEx* FRichEdit;
  bool FOld;
};

}  // namespace richedit
