#pragma once

#include "devices/kbreader/QoK31.h"
#include "security/DeviceLogin.h"

namespace qozel {

// Messages of the device set: presence, preconditions, login, key
// distribution, passwords, backup card, programmer reset and key storing.
namespace devset_texts {

// Per device kind.
inline constexpr const char* kArOneDevice = "Do komputera może być podłączony tylko jeden ZEL Arkan.";
inline constexpr const char* kPrgrOneDevice = "Do komputera może być podłączony tylko jeden Programator QO-G30.";
inline constexpr const char* kKbRdOneDevice =
    "Do komputera może być podłączony tylko jeden Czytnik Klawiaturowy QO-K31.";
inline constexpr const char* kArNoConnection = "Brak połączenia z Arkan.";
inline constexpr const char* kPrgrNoConnection = "Brak połączenia z Programatorem G30.";
inline constexpr const char* kKbRdNoConnection = kKbRdNoConnectionMsg;
inline constexpr const char* kArReplugged =
    "W trakcie obsługi okna dialogowego Arkan był rozłączany.\n"
    "\n"
    "Operacja zostaje przerwana gdyż rozłączenie/podłączenie tego samego\n"
    "lub innego Arkan oznacza, że wcześniej podjęte przez program\n"
    "decyzje mogą być niespójne z aktualnym stanem systemu.\n"
    "\n"
    "Powtórz całą operację od początku.";
inline constexpr const char* kPrgrReplugged =
    "W trakcie obsługi okna dialogowego programator QO-G30 był rozłączany.\n"
    "\n"
    "Operacja zostaje przerwana gdyż rozłączenie/podłączenie tego samego\n"
    "lub innego programatora oznacza, że wcześniej podjęte przez program\n"
    "decyzje mogą być niespójne z aktualnym stanem systemu.\n"
    "\n"
    "Powtórz całą operację od początku.";

// Preconditions.
inline constexpr const char* kArNoAdminPassword = "Arkan nie miał jeszcze ustawionego hasła Administratora.";
inline constexpr const char* kPrgrNoAdminPassword =
    "Programator nie miał jeszcze ustawionego hasła Administratora.";
inline constexpr const char* kNoMasterKey = "Arkan nie zawiera Klucza Master Instalacji.";
inline constexpr const char* kNoTargetKey =
    "Arkan nie zawiera docelowego Klucza Master Instalacji.\n"
    "\n"
    "Karta z kopią zapasową klucza MI może być wygenerowana\n"
    "Tylko dla docelowego klucza Master Instalacji.";
inline constexpr const char* kHasTargetKey = "Arkan już ma wgrany docelowy Klucz Master Instalacji.";
inline constexpr const char* kPrgrHasTargetKeys =
    "Programator QO-G30 zawiera klucze docelowe.\n"
    "\n"
    "Ponowne wgranie kluczy będzie możliwe dopiero\n"
    "po zresetowaniu QO-G30 do stanu fabrycznego.";
inline constexpr const char* kPrgrNoKeys =
    "Programator QO-G30 nie zawiera kluczy.\n"
    "\n"
    "Pobierz do G30 klucze z Arkan.";
inline constexpr const char* kSignaturesDiffer = "Niezgonde sygnatury kluczy w Arkan i programatorze QO-G30.";

// Administrator login.
inline constexpr const char* kNoDeviceToLogIn =
    "Próba logowania gdy żadne z urządzeń (Arkan, G30) nie jest podłączone.";
inline constexpr const char* kArLoginLine = "Logowanie do Arkan";
inline constexpr const char* kArCreateLine = "Utworzenie hasła i logowanie do Arkan";
inline constexpr const char* kPrgrLoginLine = "Logowanie do programatora QO-G30";
inline constexpr const char* kPrgrCreateLine = "Utworzenie hasła i logowanie do programatora QO-G30";
inline constexpr const char* kLogInButton = "Zaloguj";
inline constexpr const char* kExecuteButton = "Wykonaj";

// Key distribution.
inline constexpr const char* kArRefusesPrgrCertificates = "Arkan nie chce wydać certyfikatów z kluczami dla G30.";
inline constexpr const char* kPrgrRefusesCertificates = "G30 nie przyjmuje certyfikatów z kluczami.";
inline constexpr const char* kPrgrKeysLoaded = "Odpowiednie klucze pobrane z Arkan do programatora QO-G30.";
inline constexpr const char* kArRefusesKbRdCertificates = "Problem z uzyskaniem kluczy od Arkan.";
inline constexpr const char* kKbRdRefusesCertificates = "K31 nie przyjmuje certyfikatów z kluczami.";
inline constexpr const char* kKbRdKeysLoaded =
    "Odpowiednie klucze pobrane z Arkan do Czytnika klawiaturowego QO-K31.";

// Passwords.
inline constexpr const char* kUserPasswordTitle = "Ustawienie hasła Użytkownika";
inline constexpr const char* kInstallerPasswordTitle = "Ustawienie hasła Instalatora";
inline constexpr const char* kPrgrRefusesPassword = kProgrammerLoginTexts.passwordNotAccepted;
inline constexpr const char* kArRefusesPassword = kArkanLoginTexts.passwordNotAccepted;
inline constexpr const char* kPrgrUserPasswordSet = "Ustawiono hasło Użytkownika programatora QO-G30.";
inline constexpr const char* kArInstallerPasswordSet = "Ustawiono hasło Instalatora w Arkan.";
inline constexpr const char* kArOldPasswordRefused = "Arkan nie przyjmuje logowania starym hasłem.";
inline constexpr const char* kArChangeRefused = "Arkan przyjął logowanie starym hasłem, ale odrzuca zmianę hasła.";
inline constexpr const char* kArNewPasswordRefused = "Arkan przyjął zmianę hasła, ale odrzuca logowanie nim.";
inline constexpr const char* kArAdminPasswordChanged = "Hasło administratora Arkan zostało zmienione.";
inline constexpr const char* kPrgrOldPasswordRefused = "QO-G30 nie przyjmuje logowania starym hasłem.";
inline constexpr const char* kPrgrChangeRefused = "QO-G30 przyjął logowanie starym hasłem, ale odrzuca zmianę hasła.";
inline constexpr const char* kPrgrNewPasswordRefused = "QO-G30 przyjął zmianę hasła, ale odrzuca logowanie nim.";
inline constexpr const char* kPrgrAdminPasswordChanged = "Hasło administratora programatora QO-G30 zostało zmienione.";

// Backup card and programmer reset.
inline constexpr const char* kArRefusesBackupCertificate = "Arkan odmawia wydania certyfikatu z KeyMI dla karty backup.";
inline constexpr const char* kBackupCardWritten =
    "Karta (zawierająca backup klucza Master Instalacji) została zaprogramowana.";
inline constexpr const char* kBackupRefused =
    "Arkan nie przyjmuje certyfikatu z kluczem Master Instalacji z karty backup.";
inline constexpr const char* kBackupStored = "Klucz Master Instalacji z karty backup zapisany w Arkan.";
inline constexpr const char* kPrgrRefusesResetCertificate = "G30 nie chce wydać certyfikatu.";
inline constexpr const char* kPrgrRefusesReset = "G30 nie akceptuje polecenia 'Reset'.";
inline constexpr const char* kArRefusesSigning = "Arkon odmawia podpisania certyfikatu.";
inline constexpr const char* kPrgrResetDone = "Programator QO-G30 przywrócony do ustawień fabrycznych.";

// Storing the master key.
inline constexpr const char* kKeyNotGenerated =
    "Klucz Master Instalacji nie został wygenerowany.\n"
    "\n"
    "Użyj klawisza [Generuj klucz] w ramce obok.";
inline constexpr const char* kFillSymbol = "Wypełnij Symbol Firmy/Instalacji (do 8 znaków).";
inline constexpr const char* kTargetKeyWarning =
    "Zapisujesz w Arkan DOCELOWY klucz Master Instalacji.\n"
    "\n"
    "Po zapisaniu klucza do Arkan już więcej go nie zobaczysz.\n"
    "\n"
    "Przed utratą klucza Master Instalacji (np. awaria Arkan)\n"
    "możesz się zabezpieczyć zapisując certyfikaty z tym kluczem\n"
    "na kartach backup.\n"
    "Pozwala na to programator QO-G30 (przy obecności Arkan).\n"
    "Odzyskanie klucza (zapisanie w innym Arkon) będzie możliwe\n"
    "tylko przy połączeniu z czytnikami tej konkretnej instalacji.\n"
    "\n"
    "Jeśli koniecznie musisz (nie powinieneś tego robić) zapisać\n"
    "klucz na papierze to nie klikaj OK tylko zamknij to okno.";
inline constexpr const char* kStoreKeyFailed = "Zapis klucza w Arkan się nie udał.";
inline constexpr const char* kKeyStored = "Klucz Master Instalacji został zapisany w Arkan.";

} // namespace devset_texts
} // namespace qozel
