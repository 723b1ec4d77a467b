// TXmlControlButtonGroup: loading the ring from SystemConfig.xml, or four empty segments on a first start.
#include "GDIButtons/XmlControlButtonGroup.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "GDIButtons/HintGDIButton.h"
#include "GDIButtons/RingLoad.h"
#include "GDIButtons/ShellInfoPrefetch.h"
#include "GDIButtons/XmlControlDragGDIButton.h"
#include "framework/DebugTrace.h"
#include "framework/text/TextCodec.h"
#include "xml/ConfigFormat.h"

TXmlControlButtonGroup::TXmlControlButtonGroup(TComponent* owner)
    : TXmlControlButtonGroup(owner, std::wstring()) {}

TXmlControlButtonGroup::TXmlControlButtonGroup(TComponent* owner, const std::wstring& xmlFileName,
                                               const TXmlHost& host, const TXmlHost& saveHost)
    : TXmlControlButtonGroup(owner, xmlFileName, GDIButtonClass<TXmlControlDragGDIButton>(),
                             HintWindowClass<THintGDIButton>(), host, saveHost) {}

TXmlControlButtonGroup::TXmlControlButtonGroup(TComponent* owner, const std::wstring& xmlFileName,
                                               TGDIButtonClass buttonClass, THintWindowClass hintClass,
                                               const TXmlHost& host, const TXmlHost& saveHost,
                                               TShellSource shell)
    : TGDICustomButtonGroup(owner, std::move(buttonClass), xmlFileName, std::move(hintClass), {},
                            TButtonInputs{std::nullopt, TButtonStart::Shown, host}),
      saveHost_(saveHost),
      shell_(std::move(shell)),
      document_(std::make_unique<TXmlDocument>()) {
  if (auto* centre = dynamic_cast<TDragGDIButton*>(CentreButton())) centre->SetXmlHost(saveHost_);
}

TXmlControlButtonGroup::~TXmlControlButtonGroup() {
  prefetch_.reset();
  document_.reset();
}

void TXmlControlButtonGroup::LoadConfigFile(const std::wstring& name, const TXmlHost& host) {
  SetXmlFileName(name);
  if (auto* centre = dynamic_cast<TDragGDIButton*>(CentreButton())) centre->SetXmlFileName(name);
  prefetch_.reset();
  try {
    switch (ConfigFormat::LoadConfigFile(*document_, name, host)) {
      case ConfigFormat::TConfigRead::Loaded:
        loadState_ = TConfigLoadState::Loaded;
        PrefetchShellInfo();
        break;
      case ConfigFormat::TConfigRead::Missing:
        loadState_ = TConfigLoadState::Missing;
        break;
      case ConfigFormat::TConfigRead::Unreadable:
        loadState_ = TConfigLoadState::Unreadable;
        break;
    }
  } catch (...) {
    loadState_ = TConfigLoadState::Unparseable;
    throw;
  }
}

int TXmlControlButtonGroup::HasButtonRecords() const {
  const TXmlNode* root = document_->RootElement();
  return root ? root->ChildCount() : 0;
}

TDragGDIButton* TXmlControlButtonGroup::AddSegment(const TButtonInputs& inputs) {
  TGDIButtonGroupItem* item = Items().AddItem(inputs);
  auto* button = item ? dynamic_cast<TDragGDIButton*>(item->Button()) : nullptr;
  if (button) {
    button->SetXmlFileName(XmlFileName());
    button->SetXmlHost(saveHost_);
  }
  return button;
}

TButtonInputs TXmlControlButtonGroup::SegmentInputs(const TXmlHost& host) const {
  TButtonInputs inputs;
  if (loadState_ == TConfigLoadState::Loaded && document_->RootElement()) {
    inputs.Colors = ButtonColorsOf(*document_);
  }
  inputs.Host = host;
  return inputs;
}

void TXmlControlButtonGroup::CreateDefaultSegments(const TXmlHost& host) {
  const TButtonInputs inputs = SegmentInputs(host);
  for (int i = 0; i < ConfigFormat::DefaultSegmentCount; ++i) AddSegment(inputs);
}

void TXmlControlButtonGroup::LoadButtons() {
  const TXmlNode* root = document_->RootElement();
  const ConfigFormat::TRingPlan plan =
      root ? ConfigFormat::InterpretRecords(*root) : ConfigFormat::TRingPlan{};
  const TARGB normalColor = root ? ConfigFormat::ReadDefaultColor(*root) : 0;
  // The shell has been asked about the files on a worker thread since the load; the answers go with
  // the buttons that take them, and the rest with the load (see RingLoad.h for the whole sequence).
  if (!prefetch_) PrefetchShellInfo();
  TRingLoad load(*this, std::move(prefetch_));
  const TButtonInputs inputs = SegmentInputs();
  load.Build([&](TShellInfoPrefetch* answers) { AddRecordButtons(plan, inputs, normalColor, answers); });
}

void TXmlControlButtonGroup::PrefetchShellInfo() noexcept {
  try {
    const TXmlNode* root = document_->RootElement();
    if (!root) return;
    const ConfigFormat::TRingPlan plan = ConfigFormat::InterpretRecords(*root);
    std::vector<std::wstring> paths;
    for (const ConfigFormat::TButtonRecord& record : plan.Segments) {
      paths.push_back(Gb18030ToWide(record.FilePath));
    }
    if (plan.Centre) paths.push_back(Gb18030ToWide(plan.Centre->FilePath));
    // At the size the buttons will ask for: the centre's monitor's.
    auto* centre = dynamic_cast<TDragGDIButton*>(CentreButton());
    prefetch_ =
        std::make_unique<TShellInfoPrefetch>(std::move(paths), TDragGDIButton::kFileInfoFlags, shell_.Lookup,
                                             shell_.Waits, centre ? centre->WantedIconSize() : 0);
  } catch (...) {
    // Looking ahead only saves time: without it each button asks the shell itself.
    TraceCaughtException(L"TXmlControlButtonGroup::PrefetchShellInfo");
    prefetch_.reset();
  }
}

void TXmlControlButtonGroup::AddRecordButtons(const ConfigFormat::TRingPlan& plan,
                                              const TButtonInputs& inputs, TARGB normalColor,
                                              TShellInfoPrefetch* answers) {
  for (const ConfigFormat::TButtonRecord& record : plan.Segments) {
    TDragGDIButton* button = AddSegment(inputs);
    if (!button) continue;
    button->SetFileName(Gb18030ToWide(record.FilePath), answers);
    button->SetButtonGuid(record.Guid);
    button->AddDeleteMenuItem();
    button->DefaultColor = normalColor;
  }
  if (plan.Centre) {
    if (auto* centre = dynamic_cast<TDragGDIButton*>(CentreButton())) {
      centre->SetFileName(Gb18030ToWide(plan.Centre->FilePath), answers);
      centre->SetButtonGuid(plan.Centre->Guid);
    }
  }
  // Records of every kind count towards the five, skipped ones and the centre's included.
  const int empty = std::max(0, ConfigFormat::RingRecordTarget - plan.RecordCount);
  for (int i = 0; i < empty; ++i) {
    if (TDragGDIButton* button = AddSegment(inputs)) button->AddDeleteMenuItem();
  }
}
