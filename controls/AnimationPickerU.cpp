#include "controls/AnimationPickerU.h"

#include "controls/PopupModalLoop.h"
#include "controls/core/GalleryFiles.h"
#include "platform/CodePages.h"
#include "platform/Graphics.h"
#include "platform/SystemValues.h"
#include "platform/SysUtils.h"
#include "platform/UiServices.h"
#include "scene/SpriteU.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QPushButton>

namespace {

constexpr int kFormWidth = 135;
constexpr int kFormHeight = 295;
constexpr int kGridLineWidth = 3;
constexpr int kFirstCellSize = 100;
// The tick that starts the selected animation soon after a selection.
constexpr int kStartInterval = 10;
constexpr int kDefaultStepInterval = 67;
constexpr TColor kSelectedCellColor = 0x00FF8000;

QColor QtColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// The keys the pop-up takes before its focused control sees them (a key preview):
// Enter presses the default button (or the focused Cancel), the arrows move
// the selection. Esc is the pop-up's own.
class PickerKeys : public QObject {
 public:
  PickerKeys(TAnimationPicker& picker, QObject* parent) : QObject(parent), picker_(picker) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      if (QApplication::focusWidget() == picker_.CancelButton) {
        picker_.CancelButtonClick();
      } else {
        picker_.OkButtonClick();
      }
      return true;
    }
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      picker_.Grid->SetRow(picker_.Grid->Row() + (key == Qt::Key_Down ? 1 : -1));
      return true;
    }
    return QObject::eventFilter(watched, event);
  }

 private:
  TAnimationPicker& picker_;
};

}  // namespace

// ---- TSetOfAnimationsItem -----------------------------------------------------------------------------

TSetOfAnimationsItem::TSetOfAnimationsItem(std::string fileName)
    : scene_(std::make_unique<TAnimatedScene>()), fileName_(std::move(fileName)) {}

TSetOfAnimationsItem::~TSetOfAnimationsItem() = default;

bool TSetOfAnimationsItem::ReadPreview(TBitmap* output) {
  scene_->OutputBitmap = output;
  return ReadGalleryFile(*scene_, fileName_, true);
}

void TSetOfAnimationsItem::LoadFully(TBitmap* output) {
  auto scene = std::make_unique<TAnimatedScene>();
  scene->OutputBitmap = output;
  ReadGalleryFile(*scene, fileName_, false);
  // The stored preview stays the item's thumbnail.
  if (!scene->PreviewBitmap && scene_->PreviewBitmap) scene->PreviewBitmap = std::move(scene_->PreviewBitmap);
  scene_ = std::move(scene);
  fullyLoaded_ = true;
}

const TBitmap* TSetOfAnimationsItem::StoredPreview() const {
  const TBitmap* preview = scene_->PreviewBitmap.get();
  return preview != nullptr && !preview->Empty() ? preview : nullptr;
}

// ---- TAnimationPicker ---------------------------------------------------------------------------------

// Marks a fill or a tick in progress; the last one to return frees the items
// of a close that came meanwhile.
class TAnimationPicker::BusyScope {
 public:
  explicit BusyScope(TAnimationPicker& picker) : picker_(picker) { ++picker_.busy_; }
  ~BusyScope() {
    if (--picker_.busy_ == 0 && picker_.freePending_) picker_.FreeItems();
  }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  TAnimationPicker& picker_;
};

TAnimationPicker::TAnimationPicker(QObject* owner) : QObject(owner) {
  BuildForm(qobject_cast<QWidget*>(owner));
  AnimationTimer.SetEnabled(false);
  AnimationTimer.SetInterval(kDefaultStepInterval);
  AnimationTimer.SetOnTimer([this] { AnimationTimerTimer(); });
}

TAnimationPicker::~TAnimationPicker() {
  AnimationTimer.SetEnabled(false);
  // The scenes compose into the animation image: they go first.
  items_.clear();
  delete form_.data();
}

void TAnimationPicker::BuildForm(QWidget* parent) {
  form_ = new TPopupWindow(parent);
  form_->resize(kFormWidth, kFormHeight);
  form_->OnCloseRequest = [this](QObject*) { CancelButtonClick(); };
  form_->installEventFilter(new PickerKeys(*this, form_));

  Panel = new QFrame(form_);
  Panel->setObjectName(QStringLiteral("Panel"));
  Panel->setFrameStyle(QFrame::Box | QFrame::Plain);
  Panel->setGeometry(0, 0, kFormWidth, kFormHeight);
  Panel->setAutoFillBackground(true);

  Grid = new TDrawGrid(Panel);
  Grid->setObjectName(QStringLiteral("Grid"));
  Grid->SetBounds(2, 4, 119, 255);
  Grid->SetColCount(1);
  Grid->SetDefaultColWidth(kFirstCellSize);
  Grid->SetDefaultRowHeight(kFirstCellSize);
  Grid->SetGridLineWidth(kGridLineWidth);
  Grid->SetFixedColor(clWindow);
  Grid->OnDrawCell = [this](QObject*, int col, int row, const TRect& rect, TGridDrawState state) {
    GridDrawCell(col, row, rect, state);
  };
  Grid->OnSelectCell = [this](QObject*, int col, int row, bool& canSelect) { GridSelectCell(col, row, canSelect); };

  AnimationPanel = new QWidget(Panel);
  AnimationPanel->setObjectName(QStringLiteral("AnimationPanel"));
  AnimationPanel->setGeometry(62, 54, 43, 35);
  AnimationPanel->hide();
  AnimationImage = new TImage(AnimationPanel);
  AnimationImage->setObjectName(QStringLiteral("AnimationImage"));
  AnimationImage->SetBounds(0, 0, 43, 35);
  AnimationImage->SetShowHint(true);
  AnimationImage->OnDblClick = [this](QObject*) { AnimationImageDblClick(); };

  OkButton = new QPushButton(QStringLiteral("&Ok"), Panel);
  OkButton->setObjectName(QStringLiteral("OkButton"));
  OkButton->setGeometry(72, 264, 55, 23);
  OkButton->setDefault(true);
  QObject::connect(OkButton, &QPushButton::clicked, this, [this] { OkButtonClick(); });
  CancelButton = new QPushButton(QStringLiteral("&Cancel"), Panel);
  CancelButton->setObjectName(QStringLiteral("CancelButton"));
  CancelButton->setGeometry(14, 264, 55, 23);
  QObject::connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
  QWidget::setTabOrder(OkButton, CancelButton);
}

bool TAnimationPicker::Execute(QWidget* Control) {
  if (form_.isNull() || form_->IsOpen()) return false;
  AnimationImage->Bitmap().SetSize(AnimationImage->Width(), AnimationImage->Height());
  QPalette colours = Panel->palette();
  colours.setColor(QPalette::Window, QtColor(Color));
  Panel->setPalette(colours);
  chosenFileName_.clear();
  Grid->SetRow(0);
  result_ = 0;
  if (Control != nullptr) {
    form_->PopupAt(Control);
  } else {
    const TSize desktop = System().ScreenSize();
    form_->ShowAt(QPoint((desktop.cx - form_->width()) / 2, (desktop.cy - form_->height()) / 2));
  }
  FormShow();
  // The picker may go while it waits: nothing of it is touched then.
  QPointer<TAnimationPicker> alive(this);
  if (!RunPopupModal(*form_, this) || alive.isNull()) return false;
  return result_ == 1;
}

void TAnimationPicker::FormShow() {
  BusyScope busy(*this);
  {
    TBusyCursor hourglass;
    for (const std::string& file : GalleryFileNames(Directory, DataExtension)) {
      if (!form_->IsOpen()) return;  // closed meanwhile: nothing more to list
      if (!GalleryFileIntact(file)) continue;
      auto item = std::make_unique<TSetOfAnimationsItem>(file);
      // A file whose preview cannot be read is not listed.
      if (!item->ReadPreview(&AnimationImage->Bitmap())) continue;
      if (items_.empty()) SizeCellsFor(*item);
      items_.push_back(std::move(item));
    }
  }
  Grid->SetRowCount(ItemCount());
  Grid->Invalidate();
  if (!items_.empty()) DrawStoredPreview(*items_.front());
  AnimationTimer.SetInterval(kStartInterval);
  AnimationTimer.SetEnabled(true);
}

// The first listed file sets the cells to its stored preview's size, and the
// grid holds one cell and a scroll bar. A file without a stored preview
// keeps the cells as they are: its preview read ends at the empty preview,
// before the scene's size, which would be the screen's then.
void TAnimationPicker::SizeCellsFor(const TSetOfAnimationsItem& item) {
  const TBitmap* preview = item.StoredPreview();
  if (preview == nullptr) return;
  Grid->SetDefaultColWidth(preview->Width());
  Grid->SetDefaultRowHeight(preview->Height());
  Grid->SetWidth(preview->Width() + 2 * Grid->GridLineWidth() + TDrawGrid::ScrollBarWidth());
}

void TAnimationPicker::DrawStoredPreview(const TSetOfAnimationsItem& item) {
  TBitmap& image = AnimationImage->Bitmap();
  const TBitmap* preview = item.StoredPreview();
  if (preview != nullptr && !image.Empty()) image.Canvas().StretchDraw(Rect(0, 0, image.Width(), image.Height()), *preview);
  AnimationImage->Repaint();
}

void TAnimationPicker::OkButtonClick() {
  // Ok closes once: a second press (or a deactivation inside the close) does nothing.
  if (form_.isNull() || !form_->IsOpen()) return;
  if (ValidRow(Grid->Row())) chosenFileName_ = Item(Grid->Row()).FileName();
  ClosePicker();
  result_ = 1;
}

void TAnimationPicker::CancelButtonClick() {
  if (form_.isNull() || !form_->IsOpen()) return;
  ClosePicker();
}

void TAnimationPicker::AnimationImageDblClick() { OkButtonClick(); }

void TAnimationPicker::ClosePicker() {
  result_ = 2;
  AnimationTimer.SetEnabled(false);
  AnimationPanel->hide();
  form_->ClosePopup();
  if (busy_ > 0) {
    freePending_ = true;  // a fill or tick still uses the items
  } else {
    FreeItems();
  }
}

void TAnimationPicker::FreeItems() {
  freePending_ = false;
  items_.clear();
  Grid->SetRowCount(1);
}

void TAnimationPicker::GridDrawCell(int, int ARow, const TRect& Rect, TGridDrawState State) {
  if (!ValidRow(ARow)) return;
  TCanvas& canvas = Grid->Canvas();
  canvas.Brush().Style = bsSolid;
  canvas.Brush().Color = (State & gdSelected) != 0 ? kSelectedCellColor : Grid->Color();
  canvas.FillRect(Rect);
  if (const TBitmap* preview = Item(ARow).StoredPreview()) {
    const int inset = Grid->GridLineWidth();
    canvas.StretchDraw(::Rect(Rect.Left + inset, Rect.Top + inset, Rect.Right - inset, Rect.Bottom - inset), *preview);
  }
}

void TAnimationPicker::GridSelectCell(int, int ARow, bool&) {
  if (!ValidRow(ARow)) return;
  TSetOfAnimationsItem& item = Item(ARow);
  item.Scene().Rewind();
  DrawStoredPreview(item);
  AnimationTimer.SetInterval(kStartInterval);
}

bool TAnimationPicker::StillShowing(const TSetOfAnimationsItem* item, int row) const {
  return !form_.isNull() && form_->IsOpen() && !freePending_ && ValidRow(row) && items_[row].get() == item;
}

void TAnimationPicker::AnimationTimerTimer() {
  BusyScope busy(*this);
  const int row = Grid->Row();
  if (form_.isNull() || !form_->IsOpen() || !ValidRow(row)) return;
  TSetOfAnimationsItem* item = &Item(row);

  const TRect cell = Grid->CellRect(0, row);
  if (IsRectEmpty(cell)) {
    AnimationPanel->hide();
  } else {
    const int inset = Grid->GridLineWidth();
    AnimationPanel->setGeometry(Grid->Left() + cell.Left + inset, Grid->Top() + cell.Top + inset,
                                cell.Right - cell.Left - 2 * inset, cell.Bottom - cell.Top - 2 * inset);
    AnimationImage->SetBounds(0, 0, AnimationPanel->width(), AnimationPanel->height());
    AnimationPanel->show();
    AnimationPanel->raise();
    AnimationImage->Bitmap().SetSize(AnimationImage->Width(), AnimationImage->Height());
  }

  if (!item->FullyLoaded()) {
    {
      TBusyCursor hourglass;
      item->LoadFully(&AnimationImage->Bitmap());
    }
    if (!StillShowing(item, row)) return;
  }
  TAnimatedScene& scene = item->Scene();
  AnimationTimer.SetInterval(scene.StepTime);
  scene.NextFrame();
  // Hints are the model's Windows-1252 text; file names are the file system's UTF-8.
  const std::string name = ChangeFileExt(ExtractFileName(item->FileName()), "");
  AnimationImage->SetHint(QStringToAnsi(QString::fromStdString(name)));
  AnimationImage->Repaint();
}
