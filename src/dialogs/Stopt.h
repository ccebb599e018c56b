#pragma once
// TStartopt, the start options: the program or document opened when QORVA starts, the
// recent choices, and one program or document per device page.
#include "platform/controls.h"
#include "platform/shell_open.h"

namespace qorva {

class ProfileFile;

class TStartopt {
  public:
    explicit TStartopt(ShellLauncher& launcher);

    TForm form{"Startopt"};
    TRadioButton& Sn;
    TRadioButton& Stj;
    TButton& PrgFilewahl;
    TEdit& Choosedprgfile;
    TListBox& Prgfilelist;
    TButton& StartPrgFile;
    TEdit& SWDensPrg;
    TEdit& Dens4Farbprg;
    TEdit& Dens7Farbprg;
    TEdit& DensVC;

    // Loads the options from the settings file; may open the start program at once.
    void FormCreate(const ProfileFile& ini);
    void PrgFileStartClick();
    void SnClick();
    void StjClick();

  private:
    ShellLauncher& launcher_;
};

} // namespace qorva
