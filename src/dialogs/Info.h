#pragma once
// TForm2, the Info dialog: the program's name and version, the interface-language choice
// and the two manual buttons (built hidden). English is the interface language exactly
// while `englisch` is selected; `deutsch` is selected when the dialog is built.
#include "platform/controls.h"

namespace qorva {

class TForm2 {
  public:
    TForm2() {
        form.setCaption("Info");
        Label1.setCaption("QORVA v1.2");
        BitBtn1.setCaption("&O&K");
        BitBtn2.setCaption("Anleitung lesen: Word");
        BitBtn3.setCaption("Read Instruction Manual: Word");
        BitBtn2.setVisible(false);
        BitBtn3.setVisible(false);
        englisch.setCaption("  ENGLISH");
        deutsch.setCaption("  DEUTSCH");
        deutsch.setChecked(true);
    }
    TForm form{"Form2"};
    TLabel& Image1 = form.add<TLabel>("Image1", nullptr);
    TLabel& Label1 = form.add<TLabel>("Label1", nullptr);
    TLabel& Image2 = form.add<TLabel>("Image2", nullptr);
    TGroupBox& Sprachwahl = form.add<TGroupBox>("Sprachwahl", nullptr);
    TRadioButton& englisch = form.add<TRadioButton>("englisch", &Sprachwahl);
    TRadioButton& deutsch = form.add<TRadioButton>("deutsch", &Sprachwahl);
    TButton& BitBtn2 = form.add<TButton>("BitBtn2", nullptr);
    TButton& BitBtn3 = form.add<TButton>("BitBtn3", nullptr);
    TButton& BitBtn1 = form.add<TButton>("BitBtn1", nullptr);
};

} // namespace qorva
