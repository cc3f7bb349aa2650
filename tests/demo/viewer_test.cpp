// The image viewer: zoom modes and steps, the selection in image pixels,
// the mouse modes and the image mouse-down event.

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QWheelEvent>

#include "demo/image_scroll_box.h"
#include "demo_test_support.h"
#include "imaging/image_error.h"

namespace omniocr::demo::test {

namespace {

// A shown viewer without scroll bars holding a white 24-bit image.
std::unique_ptr<TImageScrollBox> ShownViewer(int imageWidth, int imageHeight, float percent) {
  auto viewer = std::make_unique<TImageScrollBox>();
  viewer->SetScrollBarsVisible(false);
  viewer->resize(400, 300);
  viewer->Graphic() = FilledGraphic(imageWidth, imageHeight, 24, 255);
  viewer->Redraw();
  viewer->SetZoomMode(zmPercent);
  viewer->SetZoomPercent(percent);
  viewer->show();
  return viewer;
}

// The viewport position of a point given in displayed-image pixels.
QPointF On(const TImageScrollBox& viewer, double x, double y) {
  return viewer.DisplayToViewport(QPointF(x, y));
}

}  // namespace

class TImageScrollBoxTest : public QObject {
  Q_OBJECT

 private slots:
  void ZoomStepsAddFivePoints_data() {
    QTest::addColumn<float>("start");
    QTest::addColumn<float>("zoomedIn");
    QTest::addColumn<float>("zoomedOut");
    QTest::newRow("100 %") << 100.0f << 105.0f << 95.0f;
    QTest::newRow("50 %, added not multiplied") << 50.0f << 55.0f << 45.0f;
    QTest::newRow("the smallest zoom holds") << 5.0f << 10.0f << 5.0f;
    QTest::newRow("the largest zoom holds") << 3200.0f << 3200.0f << 3195.0f;
  }

  void ZoomStepsAddFivePoints() {
    QFETCH(float, start);
    QFETCH(float, zoomedIn);
    QFETCH(float, zoomedOut);
    QCOMPARE(ZoomedIn(start), zoomedIn);
    QCOMPARE(ZoomedOut(start), zoomedOut);
  }

  void ZoomModesScaleTheImage_data() {
    QTest::addColumn<int>("mode");
    QTest::addColumn<QSize>("view");
    QTest::addColumn<double>("scale");
    const QSize large(400, 400);
    const QSize small(100, 100);
    QTest::newRow("original size") << int(zmOriginalSize) << small << 1.0;
    QTest::newRow("full page, room to spare") << int(zmFullPage) << large << 1.0;
    QTest::newRow("full page, reduced") << int(zmFullPage) << small << 0.5;
    QTest::newRow("fit width") << int(zmFitWidth) << large << 2.0;
    QTest::newRow("fit height") << int(zmFitHeight) << large << 4.0;
    QTest::newRow("fit to page, enlarged") << int(zmFitToPage) << large << 2.0;
    QTest::newRow("fit to page, reduced") << int(zmFitToPage) << small << 0.5;
    QTest::newRow("percent") << int(zmPercent) << small << 0.5;
  }

  void ZoomModesScaleTheImage() {
    QFETCH(int, mode);
    QFETCH(QSize, view);
    QFETCH(double, scale);
    QCOMPARE(ZoomScale(static_cast<TZoomMode>(mode), 50.0f, QSize(200, 100), view), scale);
  }

  void DragSelectsInImagePixels() {
    // At 50 % one displayed pixel is two image pixels.
    auto viewer = ShownViewer(200, 100, 50);
    viewer->SetMouseMode(mmRubberband);
    QCOMPARE(viewer->DisplayedSize(), QSize(100, 50));
    QVERIFY(!viewer->HasSelection());
    MouseDrag(viewer->viewport(), On(*viewer, 31, 20), On(*viewer, 10, 5));  // up and to the left
    QVERIFY(viewer->HasSelection());
    QCOMPARE(viewer->SelectedRect(), (TImageRect{20, 10, 62, 40}));
  }

  void SelectionIsRoundedTiesToEven() {
    // At 40 % a displayed pixel is 2.5 image pixels: 3 -> 7.5 -> 8, 5 -> 12.5 -> 12.
    auto viewer = ShownViewer(200, 100, 40);
    viewer->SetMouseMode(mmRubberband);
    MouseDrag(viewer->viewport(), On(*viewer, 3, 3), On(*viewer, 5, 5));
    QCOMPARE(viewer->SelectedRect(), (TImageRect{8, 8, 12, 12}));
  }

  void SelectionStaysOnTheImage() {
    auto viewer = ShownViewer(60, 40, 100);
    viewer->SetMouseMode(mmRubberband);
    MouseDrag(viewer->viewport(), On(*viewer, 50, 30), On(*viewer, 500, 500));
    QCOMPARE(viewer->SelectedRect(), (TImageRect{50, 30, 60, 40}));
    MouseDrag(viewer->viewport(), On(*viewer, 10, 10), On(*viewer, -30, -30));
    QCOMPARE(viewer->SelectedRect(), (TImageRect{0, 0, 10, 10}));
  }

  void SelectionKeepsItsPixelsWhenZoomed() {
    auto viewer = ShownViewer(200, 100, 50);
    viewer->SetMouseMode(mmRubberband);
    MouseDrag(viewer->viewport(), On(*viewer, 10, 5), On(*viewer, 31, 20));
    viewer->SetZoomPercent(150);
    QCOMPARE(viewer->SelectedRect(), (TImageRect{20, 10, 62, 40}));
  }

  void ClickLeavesAnEmptySelection() {
    auto viewer = ShownViewer(60, 40, 100);
    viewer->SetMouseMode(mmRubberband);
    MousePress(viewer->viewport(), On(*viewer, 12, 7));
    MouseRelease(viewer->viewport(), On(*viewer, 12, 7));
    QVERIFY(viewer->HasSelection());
    QCOMPARE(viewer->SelectedRect().Width(), 0);
    viewer->ClearSelection();
    QVERIFY(!viewer->HasSelection());
  }

  void RubberbandDragInsideMovesTheSelection() {
    auto viewer = ShownViewer(100, 80, 100);
    viewer->SetMouseMode(mmRubberband);
    MouseDrag(viewer->viewport(), On(*viewer, 10, 10), On(*viewer, 30, 20));
    MouseDrag(viewer->viewport(), On(*viewer, 15, 15), On(*viewer, 25, 45));
    QCOMPARE(viewer->SelectedRect(), (TImageRect{20, 40, 40, 50}));
    // A move cannot push the band off the image.
    MouseDrag(viewer->viewport(), On(*viewer, 25, 45), On(*viewer, 200, 45));
    QCOMPARE(viewer->SelectedRect(), (TImageRect{80, 40, 100, 50}));
  }

  void QuickSelectDrawsANewBandEveryDrag() {
    auto viewer = ShownViewer(100, 80, 100);
    viewer->SetMouseMode(mmQuickSelect);
    MouseDrag(viewer->viewport(), On(*viewer, 10, 10), On(*viewer, 30, 20));
    MouseDrag(viewer->viewport(), On(*viewer, 15, 15), On(*viewer, 25, 45));
    QCOMPARE(viewer->SelectedRect(), (TImageRect{15, 15, 25, 45}));
  }

  void ModesWithoutSelectionIgnoreDrags() {
    auto viewer = ShownViewer(100, 80, 100);
    viewer->SetMouseMode(mmRubberband);
    MouseDrag(viewer->viewport(), On(*viewer, 10, 10), On(*viewer, 30, 20));
    viewer->SetMouseMode(mmNone);  // a change of mode drops the selection
    QVERIFY(!viewer->HasSelection());
    MouseDrag(viewer->viewport(), On(*viewer, 10, 10), On(*viewer, 30, 20));
    QVERIFY(!viewer->HasSelection());
    viewer->SetMouseMode(mmDrag);
    MouseDrag(viewer->viewport(), On(*viewer, 10, 10), On(*viewer, 30, 20));
    QVERIFY(!viewer->HasSelection());
  }

  void AnnotationModeAddsRectangles() {
    auto viewer = ShownViewer(100, 80, 200);
    viewer->SetMouseMode(mmAnnotation);
    MouseDrag(viewer->viewport(), On(*viewer, 20, 10), On(*viewer, 60, 50));
    QCOMPARE(viewer->Annotations().size(), std::size_t{1});
    QCOMPARE(viewer->Annotations()[0], (TImageRect{10, 5, 30, 25}));
    QVERIFY(!viewer->HasSelection());
  }

  void DragModeScrollsTheImage() {
    auto viewer = ShownViewer(1000, 800, 100);
    viewer->SetMouseMode(mmDrag);
    QCOMPARE(viewer->ScrollPosition(), QPoint(0, 0));
    MouseDrag(viewer->viewport(), QPointF(200, 200), QPointF(150, 170));
    QCOMPARE(viewer->ScrollPosition(), QPoint(50, 30));
  }

  void WheelScrollsWithHiddenScrollBars() {
    auto viewer = ShownViewer(1000, 800, 100);
    viewer->SetMouseMode(mmRubberband);
    QWheelEvent wheel(QPointF(100, 100), viewer->viewport()->mapToGlobal(QPointF(100, 100)), QPoint(),
                      QPoint(0, -120), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(viewer->viewport(), &wheel);
    QVERIFY(viewer->ScrollPosition().y() > 0);
    QVERIFY(!viewer->HasSelection());
  }

  void MouseDownReportsImagePixels() {
    auto viewer = ShownViewer(50, 40, 200);
    viewer->SetMouseMode(mmNone);
    QSignalSpy spy(viewer.get(), &TImageScrollBox::ImageMouseDown);
    MousePress(viewer->viewport(), On(*viewer, 21, 9), Qt::RightButton);
    MousePress(viewer->viewport(), On(*viewer, 99.5, 79.5));
    MousePress(viewer->viewport(), On(*viewer, 100, 20));  // right of the image
    MousePress(viewer->viewport(), On(*viewer, -1, 20));   // left of it
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy[0][0].value<Qt::MouseButton>(), Qt::RightButton);
    QCOMPARE(spy[0][2].toInt(), 10);
    QCOMPARE(spy[0][3].toInt(), 4);
    QCOMPARE(spy[1][2].toInt(), 49);
    QCOMPARE(spy[1][3].toInt(), 39);
  }

  void ShowsABilevelPageFile() {
    QTemporaryDir dir;
    QImage page(40, 30, QImage::Format_Mono);
    page.fill(1);  // white in Qt's default bilevel table
    for (int y = 10; y < 20; ++y)
      for (int x = 5; x < 15; ++x) page.setPixel(x, y, 0);
    const QString name = dir.filePath(QStringLiteral("page.bmp"));
    QVERIFY(page.save(name, "BMP"));
    auto viewer = ShownViewer(1, 1, 100);
    viewer->LoadFromFile(name, 1);
    QCOMPARE(viewer->Graphic().BitCount(), 1);
    const QImage screen = viewer->viewport()->grab().toImage();
    const auto shown = [&](double x, double y) { return screen.pixelColor(On(*viewer, x, y).toPoint()); };
    QCOMPARE(shown(7, 12), QColor(Qt::black));
    QCOMPARE(shown(25, 12), QColor(Qt::white));
    QVERIFY(shown(-3, 12) != QColor(Qt::white));  // the viewer's background beside the page
  }

  void UnreadableFileLeavesTheViewerEmpty() {
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("not-a-picture.png"));
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("this is no image");
    file.close();
    auto viewer = ShownViewer(60, 40, 100);
    viewer->SetMouseMode(mmRubberband);
    viewer->SelectImageRect(TImageRect{1, 1, 10, 10});
    QVERIFY_THROWS_EXCEPTION(EImageError, viewer->LoadFromFile(name, 1));
    QVERIFY(viewer->Graphic().Empty());
    QVERIFY(!viewer->HasSelection());
    QVERIFY_THROWS_EXCEPTION(EImageError,
                             viewer->LoadFromFile(dir.filePath(QStringLiteral("missing.tif")), 1));
  }
};

OMNIOCR_DEMO_TEST(TImageScrollBoxTest);

}  // namespace omniocr::demo::test

#include "viewer_test.moc"
