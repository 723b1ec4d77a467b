// TDragGDIButton: drops, the shell's file information, launching, the icon overlay and the hint.
#include "GDIButtons/DragGDIButton.h"

TDragGDIButton::TDragGDIButton(TComponent* owner, const TButtonColors& colors) : TCustomGDIButton(owner, colors) {
  OnDblClick = [this](TObject* sender) { Launch(sender); };
  dropTarget_ = std::make_unique<TTextTarget>(this);
  dropTarget_->SetAcceptorControl(this);
  dropTarget_->SetAcceptTextFormats({TDropTextFormat::dtfFiles});
  dropTarget_->OnDrop = [this](TObject* s, TWinControl* a, const std::wstring& t, int x, int y) {
    DropTargetDrop(s, a, t, x, y);
  };
  dropTarget_->OnDragLeave = [](TObject*) {};
  dropTarget_->OnDragEnter = [this](TObject* s, TDropEffect e, int x, int y) { DropTargetDragEnter(s, e, x, y); };
}

TDragGDIButton::~TDragGDIButton() { dropTarget_.reset(); }

void TDragGDIButton::SetFileName(const std::wstring& value) { fileName_ = value; }
void TDragGDIButton::Launch(TObject*) {}
void TDragGDIButton::DrawOverlay(TLayeredSurface&) {}
void TDragGDIButton::SaveToConfig() {}
void TDragGDIButton::AddDeleteMenuItem() {}
std::wstring TDragGDIButton::XmlFileName() const { return {}; }
void TDragGDIButton::SetXmlFileName(const std::wstring&) {}
void TDragGDIButton::DropTargetDragEnter(TObject*, TDropEffect, int, int) {}
void TDragGDIButton::DropTargetDrop(TObject*, TWinControl*, const std::wstring&, int, int) {}
bool TDragGDIButton::MouseButtonHeld(int virtualKey) const { return GetAsyncKeyState(virtualKey) != 0; }
int TDragGDIButton::ShellIconSize() const { return 32; }
void TDragGDIButton::UpdateIconPosition() {}
void TDragGDIButton::CMMouseEnter() { TCustomGDIButton::CMMouseEnter(); }
void TDragGDIButton::CMMouseLeave() { TCustomGDIButton::CMMouseLeave(); }
LRESULT TDragGDIButton::WndProc(UINT msg, WPARAM wParam, LPARAM lParam) {
  return TCustomGDIButton::WndProc(msg, wParam, lParam);
}
void TDragGDIButton::TakeShellInfo(const std::wstring&) {}
void TDragGDIButton::ReleaseIcon() {}
void TDragGDIButton::RememberFile(const std::wstring&) {}
TDragGDIButton* TDragGDIButton::AddSegmentFor(const std::wstring&) { return nullptr; }
