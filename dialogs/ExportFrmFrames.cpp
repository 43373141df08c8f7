// The export wizard's frames page: the thumbnails, the player, the frame
// parameters and the editing of the list. Every edit goes through the frame
// list model (dialogs/core/ExportFrameList.h) into the engine's frames.
#include "controls/Bitmpbtn.h"
#include "controls/DrawGrid.h"
#include "controls/Image.h"
#include "controls/MyCntrl.h"
#include "controls/MyCntrlDigitalDisplay.h"
#include "controls/OpenGraphDialogU.h"
#include "controls/My_SpinEdit.h"
#include "dialogs/ExportFrmU.h"
#include "imaging/MinGDIBitmapU.h"
#include "platform/SysUtils.h"
#include "platform/SystemValues.h"
#include "platform/UiServices.h"
#include "scene/SpriteU.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QScrollArea>
#include <QEvent>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr const char* kFramePicturesFilter =
    "All Supported Formats|*.bmp;*.gif;*.jpg;*.avi|Windows Bitmap (*.bmp)|*.bmp|CompuServe Bitmap (*.gif)|*.gif|"
    "JPEG Bitmap (*.jpg)|*.jpg|Video for Windows (*.avi)|*.avi|All Files|*.*";
constexpr const char* kOutOfResources =
    "Out of system resources. Please close one or more unused applications or run the program under Windows NT.";
constexpr TColor kGridLineGrey = 0x808080;

// The hint's line breaks (CR) as the tool tip shows them.
std::string HintLines(std::string hint) {
  std::replace(hint.begin(), hint.end(), '\r', '\n');
  return hint;
}

QColor ScreenColor(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

// Where a thumbnail goes: the picture centred in the area, at its own size
// when it fits, else as large as its proportions allow.
TRect FitInto(const TRect& area, int width, int height) {
  const int areaWidth = area.Right - area.Left, areaHeight = area.Bottom - area.Top;
  if (width <= 0 || height <= 0 || areaWidth <= 0 || areaHeight <= 0) return area;
  int w = std::min(width, areaWidth), h = static_cast<int>(static_cast<long long>(height) * w / width);
  if (h > areaHeight) {
    h = areaHeight;
    w = static_cast<int>(static_cast<long long>(width) * areaHeight / height);
  }
  w = std::max(w, 1);
  h = std::max(h, 1);
  const int left = area.Left + (areaWidth - w) / 2, top = area.Top + (areaHeight - h) / 2;
  return Rect(left, top, left + w, top + h);
}

}  // namespace

// ---- The grid -----------------------------------------------------------------------------------------

int TExportFrm::SelectedFrame() const {
  const int index = GIF_PicturesGrid->Row() - 1;
  return frameList_.Contains(index) ? index : -1;
}

void TExportFrm::RefreshFrameGrid() {
  const int rows = frameList_.GridRowCount();
  GIF_PicturesGrid->SetRowCount(rows);
  GIF_PicturesGrid->SetBounds(0, 0, GIF_PicturesGrid->DefaultColWidth(), rows * GIF_PicturesGrid->DefaultRowHeight());
  GridScrollBox->verticalScrollBar()->setValue(0);
  GIF_PicturesGrid->Repaint();
}

void TExportFrm::GIF_PicturesGridDrawCell(int col, int row, const TRect& rect, unsigned state) {
  TCanvas& canvas = GIF_PicturesGrid->Canvas();
  canvas.Brush().Style = bsSolid;
  if (row < frameList_.FixedGridRows()) {
    canvas.Brush().Color = GIF_PicturesGrid->FixedColor();
    canvas.FillRect(rect);
    return;
  }
  TRect area = rect;
  if ((state & gdSelected) != 0) {
    canvas.Brush().Color = clWhite;
    canvas.FillRect(rect);
    const int line = GIF_PicturesGrid->GridLineWidth();
    InflateRect(area, -line, -line);
    canvas.Brush().Color = GIF_PicturesGrid->FixedColor();
    canvas.FillRect(area);
    canvas.Pen().Style = psSolid;
    canvas.Pen().Width = 1;
    canvas.Pen().Color = kGridLineGrey;
    canvas.MoveTo(area.Left, area.Bottom - 1);
    canvas.LineTo(area.Left, area.Top);
    canvas.LineTo(area.Right, area.Top);
    canvas.Brush().Color = clBlack;
    canvas.FrameRect(rect);
    InflateRect(area, -2, -2);
  } else {
    canvas.Brush().Color = GIF_PicturesGrid->Color();
    canvas.FillRect(rect);
    InflateRect(area, -1, -1);
  }
  (void)col;
  const int index = row - 1;
  if (!frameList_.Contains(index) || !frameList_.Frame(index).Bitmap) return;
  if (System().FreeResourcesProbe(0) <= 10) return;
  const TMinGDIBitmap& picture = *frameList_.Frame(index).Bitmap;
  canvas.StretchDraw(FitInto(area, picture.Width(), picture.Height()), picture);
  picture.SaveAndRelease();
}

void TExportFrm::ShowFrameParameters(const TSetOfBitmapsItem& item) {
  loadingFrame_ = true;
  ImageColorPanel->SetButtonColor(item.Bitmap ? item.Bitmap->TransparentColor() & 0xFFFFFF : clBlack);
  TransparencyCheckBox->setChecked(item.Transparent != 0);
  ImageColorPanel->SetVisible(item.Transparent != 0);
  StepsPerFrameEdit->SetValue(item.Delay);
  XPosSpinEdit->SetValue(item.Left);
  YPosSpinEdit->SetValue(item.Top);
  RestoreMethodComboBox->setCurrentIndex(std::clamp<int>(item.Disposal, 0, 3));
  InterlacedCheckBox->setChecked(item.Interlaced() != 0);
  loadingFrame_ = false;
}

void TExportFrm::GIF_PicturesGridClick() {
  const int index = SelectedFrame();
  if (index < 0) {
    CurMovieFrame->SetCaption(TExportFrameList::FrameNumberText(0));
    GIF_PicturesGrid->SetHint("");
    return;
  }
  ShowFrameParameters(frameList_.Frame(index));
  ShowComposedFrame(index);
  CurMovieFrame->SetCaption(TExportFrameList::FrameNumberText(index + 1));
  GIF_PicturesGrid->SetHint(HintLines(frameList_.FrameHint(index)));
  frameList_.Frame(index).Bitmap->SaveAndRelease();
}

void TExportFrm::GIF_PicturesGridKeyDown(WORD& key) {
  if (key == VK_DELETE) DelFrameClick();
}

void TExportFrm::UpdateFrameControls() {
  if (System().FreeResourcesProbe(0) < 15) Ui().MessageBox(0, kOutOfResources, "Error", MB_OK | MB_ICONERROR);
  const bool frames = frameList_.CanEditFrames();
  const bool playing = TimerMoving.Enabled();
  for (QWidget* control : std::initializer_list<QWidget*>{
           DelFrame, EditPaletteButton, BackBtn, PrevBtn, NextFrameBtn, TransparencyCheckBox, ImageColorPanel,
           PickUpTransparentColorButton, ButtonSetAlColor, StepsPerFrameEdit, ButtonSetAllDuration, XPosSpinEdit,
           YPosSpinEdit, SetXCoordinateButton, SetYCoordinateButton, RestoreMethodComboBox, SetToAllRestoreButton,
           InterlacedCheckBox, SetAllInterlacedButton})
    control->setEnabled(frames);
  PlayBtn->setEnabled(frames && !playing);
  StopBtn->setEnabled(frames && playing);
  UpBtn->setEnabled(frameList_.CanMoveFrames());
  DownBtn->setEnabled(frameList_.CanMoveFrames());
}

// After a rebuild: the grid, the controls, the player and the selected frame.
void TExportFrm::ShowBuiltFrames() {
  RefreshFrameGrid();
  UpdateFrameControls();
  PanelSpriteMowingResize();
  const int row = GIF_PicturesGrid->Row();
  if (frameList_.CanEditFrames() && (row < 1 || row > frameList_.Count())) GIF_PicturesGrid->SetRow(1);
  GIF_PicturesGrid->Repaint();
  GIF_PicturesGridClick();
  StopBtnClick();
}

// ---- The player ---------------------------------------------------------------------------------------

void TExportFrm::SetCurrentFrame(int index) { frameList_.SetCurrentFrame(index); }

void TExportFrm::ShowPlayerImage(bool outline) {
  TBitmap& image = ImageMoving->Bitmap();
  image.Assign(&playerComposition_);
  if (outline && frameList_.Contains(frameList_.CurrentFrame())) {
    const TRect frame = frameList_.OutlineRect(frameList_.CurrentFrame());
    TCanvas& canvas = image.Canvas();
    canvas.Pen().Style = psDot;
    canvas.Pen().Width = 1;
    canvas.Pen().Color = clBlack;
    canvas.Brush().Style = bsSolid;
    canvas.Brush().Color = clWhite;
    canvas.Polyline({{frame.Left, frame.Top},
                     {frame.Right, frame.Top},
                     {frame.Right, frame.Bottom},
                     {frame.Left, frame.Bottom},
                     {frame.Left, frame.Top}});
    canvas.Pen().Style = psSolid;
  }
  ImageMoving->Repaint();
}

void TExportFrm::ShowPlayerFrame(bool outline) {
  if (!frameList_.CanEditFrames()) return;
  frameList_.ShowPlayerFrame(playerComposition_);
  ShowPlayerImage(outline);
  CurMovieFrame->SetCaption(TExportFrameList::FrameNumberText(frameList_.CurrentFrame() + 1));
  for (auto& item : engine_.Frames()) item->Bitmap->SaveAndRelease();
}

void TExportFrm::ShowComposedFrame(int index) {
  if (!frameList_.CanEditFrames()) return;
  if (playerComposition_.Width() != ImageMoving->Width() || playerComposition_.Height() != ImageMoving->Height()) {
    playerComposition_.SetPixelFormat(pf24bit);
    playerComposition_.SetSize(ImageMoving->Width(), ImageMoving->Height());
  }
  frameList_.ShowComposedFrame(playerComposition_, index);
  ShowPlayerImage(true);
  CurMovieFrame->SetCaption(TExportFrameList::FrameNumberText(frameList_.CurrentFrame() + 1));
  for (auto& item : engine_.Frames()) item->Bitmap->SaveAndRelease();
}

void TExportFrm::PanelSpriteMowingResize() {
  const int width = ImageMoving->Width(), height = ImageMoving->Height();
  const int left = std::max((PanelSpriteMowing->width() - width) / 2, 0);
  const int top = std::max((PanelSpriteMowing->height() - height) / 2, 0);
  ImageMoving->SetBounds(left, top, width, height);
  // The outline's dotted frame lies one pixel around the output area.
  const int delta = BordersBox->BoxDeltaX() + 1;
  BordersBox->SetBounds(left - delta, top - delta, width + 2 * delta - 1, height + 2 * delta - 1);
  BordersBox->lower();
}

bool TExportFrm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == PanelSpriteMowing && event->type() == QEvent::Resize) PanelSpriteMowingResize();
  return QDialog::eventFilter(watched, event);
}

void TExportFrm::TimerMovingTimer() {
  const TExportFrameList::TTick tick = frameList_.Tick(scene_.LoopCount);
  if (tick.advanced) ShowPlayerFrame(false);
  if (tick.stop) StopBtnClick();
}

void TExportFrm::PlayBtnClick() {
  if (!frameList_.CanEditFrames()) return;
  frameList_.RestartTicks();
  TimerMoving.SetEnabled(true);
  PlayBtn->setEnabled(false);
  StopBtn->setEnabled(true);
}

void TExportFrm::StopBtnClick() {
  TimerMoving.SetEnabled(false);
  StopBtn->setEnabled(false);
  PlayBtn->setEnabled(frameList_.CanEditFrames());
  for (auto& item : engine_.Frames())
    if (item->Bitmap) item->Bitmap->ForceRelease();
}

void TExportFrm::BackBtnClick() {
  if (!frameList_.CanEditFrames()) return;
  frameList_.ShowFirstFrame(playerComposition_);
  ShowPlayerFrame(true);
}

void TExportFrm::PrevBtnClick() { ShowComposedFrame(std::max(frameList_.CurrentFrame() - 1, 0)); }

void TExportFrm::NextFrameBtnClick() {
  if (!frameList_.CanEditFrames()) return;
  SetCurrentFrame((frameList_.CurrentFrame() + 1) % frameList_.Count());
  ShowPlayerFrame(true);
}

void TExportFrm::RecalculateSizeButtonClick() {
  if (Busy()) return;
  BuildGifFrames(true);
}

// ---- Frame parameters -----------------------------------------------------------------------------------

void TExportFrm::StepsPerFrameEditChange() {
  if (loadingFrame_ || SelectedFrame() < 0) return;
  frameList_.SetDelay(SelectedFrame(), StepsPerFrameEdit->Value());
}

void TExportFrm::XPosSpinEditChange() {
  if (loadingFrame_ || SelectedFrame() < 0) return;
  frameList_.SetLeft(SelectedFrame(), XPosSpinEdit->Value());
  ShowComposedFrame(frameList_.CurrentFrame());
}

void TExportFrm::YPosSpinEditChange() {
  if (loadingFrame_ || SelectedFrame() < 0) return;
  frameList_.SetTop(SelectedFrame(), YPosSpinEdit->Value());
  ShowComposedFrame(frameList_.CurrentFrame());
}

void TExportFrm::RestoreMethodComboBoxChange() {
  if (loadingFrame_ || SelectedFrame() < 0) return;
  frameList_.SetDisposal(SelectedFrame(), RestoreMethodComboBox->currentIndex());
}

void TExportFrm::InterlacedCheckBoxClick() {
  const int index = SelectedFrame();
  if (loadingFrame_ || index < 0) return;
  frameList_.SetInterlaced(index, InterlacedCheckBox->isChecked());
  // A frame of 8 rows or fewer keeps its flag: the box shows what is stored.
  InterlacedCheckBox->setChecked(frameList_.Frame(index).Interlaced() != 0);
}

void TExportFrm::ButtonSetAllDurationClick() {
  if (SelectedFrame() < 0) return;
  const TBusyCursor busy;
  frameList_.SetDelayToAll(StepsPerFrameEdit->Value());
}

void TExportFrm::SetXCoordinateButtonClick() {
  if (SelectedFrame() < 0) return;
  const TBusyCursor busy;
  frameList_.SetLeftToAll(XPosSpinEdit->Value());
  GIF_PicturesGrid->Repaint();
  ShowComposedFrame(frameList_.CurrentFrame());
}

void TExportFrm::SetYCoordinateButtonClick() {
  if (SelectedFrame() < 0) return;
  const TBusyCursor busy;
  frameList_.SetTopToAll(YPosSpinEdit->Value());
  GIF_PicturesGrid->Repaint();
  ShowComposedFrame(frameList_.CurrentFrame());
}

void TExportFrm::SetToAllRestoreButtonClick() {
  if (SelectedFrame() < 0) return;
  const TBusyCursor busy;
  frameList_.SetDisposalToAll(RestoreMethodComboBox->currentIndex());
  GIF_PicturesGrid->Repaint();
}

void TExportFrm::SetAllInterlacedButtonClick() {
  if (SelectedFrame() < 0) return;
  const TBusyCursor busy;
  frameList_.SetInterlacedToAll(InterlacedCheckBox->isChecked());
}

// ---- Transparency -------------------------------------------------------------------------------------------

void TExportFrm::SetFrameTransparency(TColor color, bool switchOn, int paletteIndex, int pickY, int pickX) {
  const int index = SelectedFrame();
  if (index < 0) return;
  const TBusyCursor busy;
  ImageColorPanel->SetButtonColor(color);
  if (switchOn) TransparencyCheckBox->setChecked(true);
  frameList_.SetFrameTransparency(index, color, TransparencyCheckBox->isChecked(), paletteIndex, pickY, pickX);
  ImageColorPanel->SetVisible(TransparencyCheckBox->isChecked());
  GIF_PicturesGrid->Repaint();
  ShowComposedFrame(frameList_.CurrentFrame());
}

void TExportFrm::TransparencyCheckBoxClick() {
  SetFrameTransparency(ImageColorPanel->ButtonColor(), false, -2, -2, -2);
}

void TExportFrm::ButtonSetAlColorClick() {
  if (SelectedFrame() < 0) return;
  const TBusyCursor busy;
  frameList_.SetTransparencyToAll(ImageColorPanel->ButtonColor(), TransparencyCheckBox->isChecked());
  GIF_PicturesGrid->Repaint();
  ShowComposedFrame(frameList_.CurrentFrame());
}

void TExportFrm::ImageColorPanelClick() {
  const int index = SelectedFrame();
  if (index < 0) return;
  if (!frameList_.HasColorTable(index)) {
    if (const std::optional<TColor> color = Ui().ChooseColor(ImageColorPanel->ButtonColor()))
      SetFrameTransparency(*color, true, -1, -1, -1);
    return;
  }
  int paletteIndex = -1;
  TColor color = ImageColorPanel->ButtonColor();
  if (PickPaletteColor(index, color, paletteIndex)) SetFrameTransparency(color, true, paletteIndex, -1, -1);
}

void TExportFrm::PickUpTransparentColorButtonClick() {
  if (SelectedFrame() < 0) return;
  ImageMoving->SetCursor(crAirDrop);
}

void TExportFrm::LeavePickMode() {
  if (ImageMoving->Cursor() == crAirDrop) ImageMoving->SetCursor(crDefault);
  ColorLabel->setVisible(false);
  Color_Panel->setVisible(false);
}

void TExportFrm::ImageMovingMouseDown(TMouseButton button, TShiftState, int x, int y) {
  if (button != mbLeft) return;
  if (ImageMoving->Cursor() == crAirDrop) {
    const TColor color = TExportFrameList::PickedColor(playerComposition_, x, y) & 0xFFFFFF;
    LeavePickMode();
    SetFrameTransparency(color, true, -1, y, x);
    return;
  }
  const int index = SelectedFrame();
  if (index < 0) return;
  dragOffsetX_ = x - frameList_.Frame(index).Left;
  dragOffsetY_ = y - frameList_.Frame(index).Top;
}

void TExportFrm::ImageMovingMouseMove(TShiftState shift, int x, int y) {
  if (ImageMoving->Cursor() == crAirDrop) {
    QPalette palette = Color_Panel->palette();
    palette.setColor(QPalette::Window, ScreenColor(TExportFrameList::PickedColor(playerComposition_, x, y)));
    Color_Panel->setPalette(palette);
    ColorLabel->setVisible(true);
    Color_Panel->setVisible(true);
    return;
  }
  const int index = SelectedFrame();
  if (index < 0) return;
  if (shift.Contains(ssLeft)) {
    const TPoint place = TExportFrameList::DraggedPlace({x, y}, {dragOffsetX_, dragOffsetY_});
    XPosSpinEdit->SetValue(place.X);
    YPosSpinEdit->SetValue(place.Y);
  } else if (!shift.Contains(ssRight) && !shift.Contains(ssMiddle)) {
    ImageMoving->SetCursor(frameList_.InsideFrame(index, {x, y}) ? crMove : crDefault);
  }
}

// ---- List editing -------------------------------------------------------------------------------------------

void TExportFrm::DelFrameClick() {
  const int index = SelectedFrame();
  if (index < 0) return;
  {
    const TBusyCursor busy;
    frameList_.Delete(index);
    const int row = GIF_PicturesGrid->Row();
    GIF_PicturesGrid->SetRowCount(frameList_.GridRowCount());
    GIF_PicturesGrid->SetBounds(0, 0, GIF_PicturesGrid->DefaultColWidth(),
                                frameList_.GridRowCount() * GIF_PicturesGrid->DefaultRowHeight());
    if (frameList_.CanEditFrames()) GIF_PicturesGrid->SetRow(std::clamp(row, 1, frameList_.Count()));
    GIF_PicturesGrid->Repaint();
  }
  if (!frameList_.CanEditFrames()) {
    StopBtnClick();
    playerComposition_.Canvas().Brush().Color = kPlayerBackground;
    playerComposition_.Canvas().FillRect(Rect(0, 0, playerComposition_.Width(), playerComposition_.Height()));
    ShowPlayerImage(false);
  }
  GIF_PicturesGridClick();
  UpdateFrameControls();
}

void TExportFrm::UpBtnClick() {
  const int row = GIF_PicturesGrid->Row();
  if (row <= 1 || !frameList_.MoveUp(row - 1)) return;
  GIF_PicturesGrid->SetRow(row - 1);
  GIF_PicturesGridClick();
  GIF_PicturesGrid->Repaint();
}

void TExportFrm::DownBtnClick() {
  const int row = GIF_PicturesGrid->Row();
  if (row < 1 || row >= frameList_.Count() || !frameList_.MoveDown(row - 1)) return;
  GIF_PicturesGrid->SetRow(row + 1);
  GIF_PicturesGridClick();
  GIF_PicturesGrid->Repaint();
}

void TExportFrm::AddImage_ToolButtonClick() {
  FileDialogRequest request;
  request.filter = kFramePicturesFilter;
  request.initialDir = framesFolder_;
  request.allowMultiSelect = true;
  std::vector<std::string> files;
  if (OpenFrameDlg) {
    files = OpenFrameDlg(request);
  } else {
    TOpenGraphicDialog dialog;
    dialog.Filter = request.filter;
    dialog.InitialDir = request.initialDir;
    dialog.Options = ofAllowMultiSelect;
    if (dialog.Execute()) files = dialog.Files();
  }
  if (files.empty()) return;
  framesFolder_ = ExtractFilePath(files.front());
  {
    const TBusy busy(*this);
    const TBusyCursor cursor;
    Attempt([&] {
      for (const std::string& file : files) InsertImageFile(file);
    });
  }
  RefreshFrameGrid();
  if (frameList_.CanEditFrames()) {
    GIF_PicturesGrid->SetRow(frameList_.Count());
    GridScrollBox->ensureVisible(0, GIF_PicturesGrid->CellRect(0, frameList_.Count()).Bottom);
  }
  UpdateFrameControls();
  GIF_PicturesGridClick();
}

void TExportFrm::InsertImageFile(const std::string& fileName) {
  frameList_.InsertImageFile(
      fileName,
      [this](const std::string& name, int frameCount, int& first, int& count) {
        return ChooseVideoFrames(name, frameCount, first, count);
      },
      this);
}
