// TQelViewHost: the widget that shows a 3D view. It points to a TQelView (the
// view is owned elsewhere), gives it the widget's size, makes its rendering
// context when the widget is made, paints the view's last frame and passes
// the mouse on as the controls' mouse events (button, shift state, client
// position; platform/Events.h).
#pragma once

#include "platform/Events.h"

#include <QWidget>

#include <functional>

class TQelView;

class TQelViewHost : public QWidget {
  Q_OBJECT

 public:
  explicit TQelViewHost(QWidget* parent = nullptr);
  ~TQelViewHost() override;

  TQelView* View() const { return view_; }
  // Shows the view (nullptr: none): it takes the widget's size, gets its
  // context and asks this widget to repaint whenever it redraws.
  void SetView(TQelView* view);
  // Gives the widget, and so the view, a client size.
  void SetClientSize(int width, int height);

  // The mouse over the view, in client coordinates.
  std::function<void(TMouseButton button, TShiftState shift, int x, int y)> OnMouseDown;
  std::function<void(TShiftState shift, int x, int y)> OnMouseMove;
  std::function<void(TMouseButton button, TShiftState shift, int x, int y)> OnMouseUp;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  TQelView* view_ = nullptr;
};
