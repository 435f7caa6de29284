// The pictures users bring today on the roads of the image dialog and the image browser, driven in
// this process: a transparent PNG (black lettering on nothing) and a 48-megapixel photo. The
// dialog inserts both with their true size; the browser shows the PNG over the cell's colour and
// the view's background, and the photo scaled to fit its memory.
#include <gtest/gtest.h>

#include "browse.h"
#include "dialogdriver.h"
#include "lader.h"
#include "main.h"  // the program start: the browser is a window of the main window
#include "test_files.h"

namespace {

using testsupport::WinPath;

// The fixture folder in the program's own spelling, backslashes throughout.
const String kPictures = WinPath(String(ASTREL_BINARY_DIR) + "/quillet/app/win/picture_fixtures/bilder");

// Waits until Ready holds, pumping messages, for at most Seconds.
template <typename Ready> bool WaitFor(TApplication& App, Ready ready, double Seconds = 60) {
  const DWORD start = GetTickCount();
  while (!ready()) {
    if (GetTickCount() - start > DWORD(Seconds * 1000)) return false;
    App.ProcessMessages();
    Sleep(20);
  }
  return true;
}

class PictureRoads : public DialogTest {
protected:
  String Work;
  void SetUp() override {
    DialogTest::SetUp();
    Work = MakeWorkFolder("pictureroads");
    Context.PictureFolder = kPictures;
  }
};

TEST_F(PictureRoads, TheImageDialogInsertsLargePhotosAndTransparentPicturesWithTheirSize) {
  auto d = Open<Tlader>();
  struct Case {
    const char* file;
    const char* w;
    const char* h;
  } cases[] = {{"photo48.jpg", "8000", "6000"}, {"firma.png", "300", "100"}, {"firma.gif", "300", "100"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    d->TakePicture(kPictures + "\\" + c.file);
    EXPECT_EQ(d->Edit1->Text(), c.file);
    EXPECT_EQ(d->Panel2->Caption(), c.w);
    EXPECT_EQ(d->Panel3->Caption(), c.h);
    EXPECT_NE(GetFileAttributesA((Work + "DATEN\\" + c.file).c_str()), INVALID_FILE_ATTRIBUTES);
  }
  d->TakePicture(kPictures + "\\photo48.jpg");
  d->ColorButton2->Click();
  ASSERT_GE(ExchangeList.Count(), 1);
  EXPECT_EQ(ExchangeList.Strings(0), "<IMG Src=\"photo48.jpg\" Width=\"8000\" Height=\"6000\"");
}

TEST_F(PictureRoads, TheBrowserShowsTransparentPicturesOverWhatIsBehindThemAndLargePhotosScaled) {
  StartMainWindow("/neu");
  App.ProcessMessages();
  auto* b = new Tbrowse(&App, Context);
  b->Show();
  ASSERT_TRUE(WaitFor(App, [&] { return b->tbu->Count() == 3; })) << b->tbu->Count();
  // The thumbnails: the transparent parts of the PNG show the cell's colour, as the GIF's do.
  for (int i = 0; i < b->tbu->Count(); ++i) {
    TThumbNail* cell = b->tbu->Cell(i);
    const String name = ExtractFileName(cell->Filename());
    if (name == "photo48.jpg") continue;
    SCOPED_TRACE(name);
    ASSERT_TRUE(WaitFor(App, [&] { return cell->ImageReady(); }));
    auto* shown = dynamic_cast<TBitmap*>(cell->Image()->Picture()->Graphic());
    ASSERT_NE(shown, nullptr);
    // Left of the first bar, below the line along the top: nothing but background.
    const int x = shown->Width() * 5 / 300, y = shown->Height() / 2;
    EXPECT_EQ(shown->Pixel(x, y), ColorToRGB(cell->Color()));
    EXPECT_EQ(shown->Pixel(shown->Width() * 70 / 300, y), clBlack);
  }
  // The full view: the PNG over the view's background, the photo at half its size.
  for (const char* name : {"firma.png", "photo48.jpg"}) {
    SCOPED_TRACE(name);
    b->tbu->SetSelectedFile(kPictures + "\\" + name);
    ASSERT_EQ(b->tbu->SelectedFile(), kPictures + "\\" + name);
    b->VollbildClick();
    ASSERT_TRUE(WaitFor(App, [&] { return b->Ima->Visible(); }));
    const TBitmap& view = *b->Ima->Bitmap();
    if (String(name) == "firma.png") {
      ASSERT_EQ(view.Width(), 300);
      EXPECT_EQ(view.Pixel(5, 50), ColorToRGB(b->Ima->Background()));
      EXPECT_EQ(view.Pixel(70, 50), clBlack);
    } else {
      EXPECT_EQ(view.Width(), 4000);
      EXPECT_EQ(view.Height(), 3000);
    }
    b->imaClick();
  }
  b->Close();
  App.ProcessMessages();
}

}  // namespace
