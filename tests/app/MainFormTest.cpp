#include "app/MainFormU.h"
#include "imaging/utils.h"

#include <gtest/gtest.h>

#include <QMdiArea>

TEST(MainWindow, IsAMultipleDocumentFrameWithTheProductCaption) {
  TMainForm form;
  EXPECT_EQ(ProgramName, "Gleamcraft");
  form.show();
  EXPECT_EQ(form.windowTitle(), QString("Gleamcraft"));
  EXPECT_NE(form.MdiArea(), nullptr);
  EXPECT_EQ(form.minimumSize(), QSize(630, 480));
  form.resize(100, 100);
  EXPECT_GE(form.width(), 630);
  EXPECT_GE(form.height(), 480);
}
