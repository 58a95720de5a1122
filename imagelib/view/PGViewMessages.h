// The picture view's private window messages, all in one place: who posts each to whom and what
// wParam and lParam carry. Each is posted, never sent. A picture in lParam belongs to the receiver
// from the moment it takes the message; whoever drains a queue of them frees the pictures in it.
//
// The numbers start at WM_USER, and receivers that never meet share them. The view and the filter
// form are plain windows, where nothing else uses these numbers. The file dialogs' hook window is
// a dialog, and there WM_USER and WM_USER + 1 are also the dialog manager's DM_GETDEFID and
// DM_SETDEFID: the hook takes WM_PGPAINTPIXELGRAPHIC only with a picture, since DM_GETDEFID
// carries none. DM_SETDEFID needs no such guard: the dialog manager sends both to the top-level
// dialog and never to the hook's child dialog (under Wine also while the keys and the focus move
// through the controls and the default button changes), and nothing else sends them there.
#pragma once

#include "classlib/winapi.h"

namespace imagelib {

// Paint thread -> the view's window: the display-ready copy in lParam (0: the job failed).
// Preview thread -> the file dialog's hook window: the finished preview in lParam. wParam 0.
constexpr UINT WM_PGPAINTPIXELGRAPHIC = WM_USER;
// Paint thread -> the view's window: wParam the job's stage (from 1), lParam its percent (0..100).
// Preview thread -> the hook window: wParam the stage x 16 plus the sub-step, lParam the percent.
constexpr UINT WM_PGPROGRESS = WM_USER + 1;
// The file dialog's timer -> its own hook window: time to make the preview. wParam, lParam 0.
constexpr UINT WM_PGSTARTPREVIEW = WM_USER + 3;
// Preview thread -> the hook window, in place of a preview that could not be made (the thread's
// GetFailureText says why). wParam, lParam 0.
constexpr UINT WM_PGPREVIEWFAILED = WM_USER + 4;

// The filter dialog's preview threads -> its form: wParam PGFilterPreviewSourceReady with lParam 0
// when the reduced copy is ready; PGFilterPreviewFiltered with a filtered picture in lParam, which
// the form's preview takes over.
constexpr UINT WM_PGFILTERPREVIEW = WM_USER;
constexpr WPARAM PGFilterPreviewSourceReady = 1;
constexpr WPARAM PGFilterPreviewFiltered = 2;

}  // namespace imagelib
