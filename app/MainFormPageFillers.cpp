// Empty page fillers, kept until the areas that own the pages define them.
#include "app/MainFormU.h"

void TMainForm::LoadScenePage() {}

void TMainForm::LoadSpritePage() {}

void TMainForm::LoadBackgroundPage() {}

void TMainForm::LoadFramePage() {}

void TMainForm::LoadMotionPage() {}

void TMainForm::LoadAppearancePage() {}

void TMainForm::LoadTextPage() {}

void TMainForm::LoadShapePage() {}

void TMainForm::LoadLinePage() {}

void TMainForm::Load3DTextPage() {}
