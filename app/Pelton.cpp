#include "app/Pelton.h"

#include "app/Fenwa.h"
#include "app/Melka.h"
#include "app/Rugo.h"
#include "app/SettingsFile.h"
#include "app/StatusWindow1.h"
#include "app/Walking.h"

namespace kurun {

TForm1* Form1 = nullptr;

TForm1::TForm1(TComponent* owner)
    : TCharacterForm(owner, 1, L"TFORM1", [this](TObject* sender) { FormCreate(sender); }) {}

void TForm1::FormCreate(TObject*) {
    Form2 = forms::CreateForm<TForm2>(this);
    Form2->Show();
    Form3 = forms::CreateForm<TForm3>(this);
    Form3->Show();
    Form4 = forms::CreateForm<TForm4>(this);
    Form4->Show();
    // After the characters, so it goes before them at the end.
    Walking1 = new TWalking(this);
    StatusForm1 = forms::CreateForm<TStatusForm1>(this);
    LoadSettings(*StatusForm1);
    ShowTargetHints();
    DesktopWatch1 = new TDesktopWatch(this);
    SessionWatch1 = new TSessionWatch(this);
    // Last: the icon takes the taskbar button's place, and the loop shows no window by
    // itself, so every character stays as its check box left it.
    StatusForm1->TrayIcon1->SetActive(true);
}

}  // namespace kurun
