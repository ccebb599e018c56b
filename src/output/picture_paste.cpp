#include "output/picture_paste.h"

#include "output/key_sink.h"
#include "parsers/plate_picture.h"
#include "platform/clock.h"
#include "platform/controls.h"
#include "platform/fault_log.h"
#include "platform/keyboard.h"
#include "platform/picture_services.h"
#include "platform/program_directory.h"

#include <fstream>

namespace qorva {

std::vector<std::string> PicturePaste::defaultTemplates() {
    return {kTemplateName, ProgramDirectory() + "/" + kTemplateName};
}

bool PicturePaste::loadTemplate(MonoBitmap& bitmap) {
    for (const std::string& path : ctx_.templatePaths) {
        if (!std::ifstream(path)) continue;
        std::string error;
        std::optional<MonoBitmap> loaded = LoadBmp(path, error);
        if (!loaded) {
            fail(path + " is " + error);
            return false;
        }
        if (loaded->width() < PlatePicture::kTemplateWidth ||
            loaded->height() < PlatePicture::kTemplateHeight) {
            fail(path + " is smaller than " + std::to_string(PlatePicture::kTemplateWidth) + " x " +
                 std::to_string(PlatePicture::kTemplateHeight));
            return false;
        }
        bitmap = std::move(*loaded);
        return true;
    }
    fail(std::string(kTemplateName) + " is missing");
    return false;
}

RecordText PicturePaste::captionWithDateAndTime(const RecordText& caption) const {
    RecordText text = caption;
    if (ctx_.Datumaus.Checked())
        text += "   " + FormatDateTime(ctx_.clock.shortDateFormat(), ctx_.clock.now());
    if (ctx_.Zeitaus.Checked())
        text += "   " + FormatDateTime(ctx_.clock.longTimeFormat(), ctx_.clock.now());
    return text;
}

// The status text says it every time; standard error (the fault log) the first time.
void PicturePaste::fail(const std::string& reason) {
    ctx_.StatusBar1.setSimpleText(kNotPasted + reason);
    if (reported_) return;
    reported_ = true;
    ctx_.faults.report(std::string("plate-reader picture not pasted: ") + reason);
}

bool PicturePaste::paste(const RecordText& caption, const RecordText& source) {
    MonoBitmap bitmap(0, 0);
    if (!loadTemplate(bitmap)) return false;
    DecodePlatePicture(source, bitmap);
    ctx_.font.drawCaption(bitmap, captionWithDateAndTime(caption));
    std::string error;
    if (!ctx_.clipboard.setPicture(bitmap, error)) {
        fail("the clipboard refused it (" + error + ")");
        return false;
    }
    ctx_.keyboard.clipboardPicture(bitmap.width(), bitmap.height());
    ctx_.keys.pastePicture(ctx_.CTRLV.Checked());
    return true;
}

} // namespace qorva
