#pragma once

#include "app/DrawnCopy.h"

#include <cstdint>
#include <span>

namespace qozel {

class PollCycle;

// What the Recovery tab enables: each box by the device it acts on.
struct RecoveryTabFields {
    bool arkanPresent = false;
    bool programmerPresent = false;
    friend bool operator==(const RecoveryTabFields&, const RecoveryTabFields&) = default;
};

// The Recovery tab: programmer reset, access to an Arkan whose administrator
// password is lost, administrator password changes, and the master key
// restored from a backup card read by a reader of the installation.
class RecoveryTab {
public:
    static constexpr const char* kPrgrResetInfo =
        "Gdy Programator QO-G30 zawiera klucze docelowe jego Reset do ustawień fabrycznych jest możliwy tylko w "
        "obecności Arkan zawierającego Klucz Master Instalacji z którego powstały klucze zawarte w Programatorze "
        "(jednakowa sygnatura kluczy).\n\nGdy Programator QO-G30 nie zawiera kluczy docelowych jego Reset do "
        "ustawień fabrycznych jest możliwy bez ograniczeń.";
    static constexpr const char* kArPassResetInfo =
        "W przypadku utraty hasła administratora systemu odzyskanie dostępu do Arkan wymaga zresetowania "
        "hasła.\nGdy Arkan posiada docelowy klucz Master Instalacji ustawienie nowego hasła jest możliwe tylko przy "
        "aktywnym połączeniu z czytnikami danej instalacji.\n\nGdy Arkan nie zawiera klucza docelowego jego Reset "
        "do ustawień fabrycznych jest możliwy bez ograniczeń.";
    static constexpr const char* kPassChangeInfo =
        "Jeżeli niezbędna jest zmiana hasła administratora systemu to należy dokonać jej indywidualnie w Arkan i w "
        "każdym z używanych w systemie programatorów QO-G30.\nSystem ma jedno hasło administratora używane do "
        "logowania do Arkan i do programatorów. Dlatego, po jego zmianie, we wszystkich tych urządzeniach musi ono "
        "być takie samo.\nPodczas normalnej pracy program raz pytając o hasło loguje się zarówno do Arkan jak i do "
        "programatora QO-G30 (gdy oba są podłączone).";
    static constexpr const char* kKeyFromCardInfo =
        "W przypadku uszkodzenia Arkan możliwe jest wgranie tego samego Klucza Master Instalacji do nowego "
        "egzemplarza Arkan.\nNależy w tym celu skorzystać z jednej z przygotowanych wcześniej kart zawierających "
        "kopię zapasową Klucza Master Instalacji.\nKarta z kopią zapasową może być odczytana i rozszyfrowana tylko "
        "przez czytniki posiadające klucze wytworzone przez Arkan z zawartego w nim Klucza Master "
        "Instalacji.\nDlatego wgranie Klucza Master Instalacji do nowego Arkan jest możliwe tylko przy aktywnym "
        "połączeniu z czytnikami danej instalacji.";

    explicit RecoveryTab(PollCycle& cycle) noexcept : cycle_(cycle) {}

    void PollRecoveryTab();
    void RefreshRecoveryTab();

    // Handlers of the tab's buttons; each runs as a user action.
    void OdzPrgrResetBtnClick();
    void OdzArPassSetBtnClick();
    void OdzArPassChngBtnClick();
    void OdzPrgrPassChngBtnClick();
    void OdzKeyMiFromTagBtnClick();

    // Regains access to the Arkan: a factory reset without a target key, else
    // a new administrator password through a reader's signed certificate.
    void RecoverArAccess();
    // Puts the readers into backup-card reading for a minute; the poll cycle
    // hands the first card's certificate to StoreBackupCertificate.
    void RestoreMasterKey();
    // Stores a backup card's certificate in the Arkan and reports the outcome.
    void StoreBackupCertificate(std::span<const std::uint8_t, 120> certificate);

    const RecoveryTabFields& Fields() const noexcept { return fields_; }
    bool TakeChanged();

private:
    template <class F>
    void RunAction(F&& action);

    PollCycle& cycle_;
    RecoveryTabFields fields_;
    DrawnCopy<RecoveryTabFields> drawn_;
    unsigned lastState_ = 0x8000;
};

} // namespace qozel
