#include "platform/qt/qt_pictures.h"

#include "platform/event_loop.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <cstdio>

namespace qorva {

namespace {

// QGuiApplication keeps references to its arguments for its whole life.
int gArgc = 1;
char gProgram[] = "qorva";
char* gArgv[] = {gProgram, nullptr};

// Qt's notes about its environment (no runtime folder, no session bus) are no faults of
// the program: only critical messages reach standard error.
void criticalOnly(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        std::fprintf(stderr, "qorva: %s\n", message.toLocal8Bit().constData());
}

QImage toQImage(const MonoBitmap& bitmap) {
    QImage image(bitmap.width(), bitmap.height(), QImage::Format_Mono);
    image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    for (int y = 0; y < bitmap.height(); ++y) {
        const auto row = bitmap.row(y);
        std::copy(row.begin(), row.end(), image.scanLine(y));
    }
    image.setDotsPerMeterX(static_cast<int>(kPictureDotsPerMetre));
    image.setDotsPerMeterY(static_cast<int>(kPictureDotsPerMetre));
    return image;
}

QFont captionFont() {
    static const QString family = [] {
        const int id = QFontDatabase::addApplicationFont(QtCaptionFont::kFontFile);
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString("DejaVu Sans") : families.first();
    }();
    QFont font(family);
    font.setPixelSize(QtCaptionFont::kPixelSize);
    font.setStyleStrategy(QFont::NoAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

} // namespace

QtGuiSession::QtGuiSession() = default;

QtGuiSession::~QtGuiSession() = default;

std::unique_ptr<QtGuiSession> QtGuiSession::start(const std::string& platform, std::string& error) {
    if (QCoreApplication::instance()) {
        error = "a Qt application runs already";
        return nullptr;
    }
    if (!platform.empty()) qputenv("QT_QPA_PLATFORM", QByteArray::fromStdString(platform));
    qInstallMessageHandler(criticalOnly);
    std::unique_ptr<QtGuiSession> session(new QtGuiSession);
    session->app_ = std::make_unique<QGuiApplication>(gArgc, gArgv);
    return session;
}

std::unique_ptr<QtGuiSession> QtGuiSession::adoptRunning() {
    if (!QGuiApplication::instance()) return nullptr;
    return std::unique_ptr<QtGuiSession>(new QtGuiSession);
}

void QtGuiSession::serveEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtCaptionFont::drawCaption(MonoBitmap& bitmap, const std::string& text) const {
    if (!QGuiApplication::instance()) {
        std::string error;
        ownSession_ = QtGuiSession::start("offscreen", error);
        if (!ownSession_) return;
    }
    const int height = std::min(bitmap.height(), 16);
    QImage strip(bitmap.width(), height, QImage::Format_RGB32);
    strip.fill(Qt::white);
    {
        QPainter painter(&strip);
        painter.setFont(captionFont());
        painter.setPen(Qt::black);
        painter.drawText(QRect(0, 0, strip.width(), strip.height()),
                         Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                         QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size())));
    }
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < bitmap.width(); ++x)
            if (qGray(strip.pixel(x, y)) < 128) bitmap.setPixel(x, y, 0);
}

QtClipboard::~QtClipboard() {
    if (serveTimer_) loop_.stopTimer(serveTimer_);
}

bool QtClipboard::setPicture(const MonoBitmap& bitmap, std::string& error) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) {
        error = "no clipboard";
        return false;
    }
    clipboard->setImage(toQImage(bitmap));
    session_.serveEvents();
    if (!serveTimer_) serveTimer_ = loop_.startTimer(kServeMs, [this] { session_.serveEvents(); });
    return true;
}

} // namespace qorva
