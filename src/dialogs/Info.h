#pragma once
// TForm2, the Info dialog: here the interface-language choice it holds. English is the
// interface language exactly while `englisch` is selected; `deutsch` is selected when
// the dialog is built.
#include "platform/controls.h"

namespace qorva {

class TForm2 {
  public:
    TForm2() {
        form.setCaption("Info");
        englisch.setCaption("  ENGLISH");
        deutsch.setCaption("  DEUTSCH");
        deutsch.setChecked(true);
    }
    TForm form{"Form2"};
    TGroupBox& Sprachwahl = form.add<TGroupBox>("Sprachwahl", nullptr);
    TRadioButton& englisch = form.add<TRadioButton>("englisch", &Sprachwahl);
    TRadioButton& deutsch = form.add<TRadioButton>("deutsch", &Sprachwahl);
};

} // namespace qorva
