#pragma once

namespace qozel {

// The texts the window's logic shows the user: messages, captions it sets
// and information labels. The event log's own texts are in LogTexts.cpp.
namespace app_texts {

// The poll cycle and the actions that need the Manager.
inline constexpr const char* kManagerNoConnection = "Brak połączenia z Qo-ZEL Managerem.";
inline constexpr const char* kOneManagerOnly = "Do komputera może być podłączony tylko jeden ZEL Manager.";
inline constexpr const char* kSelectedReaderGone = "Wybrany czytnik właśnie przestał być dostępny.";
inline constexpr const char* kManagerReplugged =
    "W trakcie obsługi okna dialogowego QoZEL Manager był rozłączany.\n"
    "\n"
    "Operacja zostaje przerwana gdyż rozłączenie/podłączenie tego samego\n"
    "lub innego Managera oznacza, że wcześniej podjęte przez program\n"
    "decyzje mogą być niespójne z aktualnym stanem systemu.\n"
    "\n"
    "Powtórz całą operację od początku.";

// Notes for a developer through the diagnostic hook, never shown to the user.
inline constexpr const char* kUserFunctionInPass =
    "Start funkcji użytkownika w trakcie działania funkcji obsługi Timera.";
inline constexpr const char* kWaitLoopEnded = "Pętla czekania na koniec obsługi Timera stanęła na i=";

// The permission hint below the tabs: the start, a device known only by its
// bus and ids, and the rules to install with the commands that do it.
inline constexpr const char* kNoPermission = "Brak uprawnień do otwarcia: ";
inline constexpr const char* kDeviceIdsFormat = "urządzenie %s %04x:%04x";
inline constexpr const char* kInstallRules = ". Zainstaluj reguły udev ";
inline constexpr const char* kCopyRulesCommand = ": sudo cp ";
inline constexpr const char* kTriggerCommand = " /etc/udev/rules.d/ && sudo udevadm trigger";

// Firmware upgrades.
inline constexpr const char* kUpgradeFailedText = "Błąd podczas wykonywania upgrade.";
// The upgrade box's line for a bus reader: this, then the reader's type.
inline constexpr const char* kReaderPrefix = "Czytnik ";

// The Readers tab: its header, then the reader pane's actions.
inline constexpr const char* kNoManager = "Brak QoZEL Managera";
inline constexpr const char* kManagerLine = "QoZEL Manager Nr: ";
inline constexpr const char* kRateLabel = "Prędkość OSDP Bus:";
inline constexpr const char* kRateMissingLabel = "Ustaw Prędkość OSDP Bus:";
inline constexpr const char* kNoRateText = "  ---  ";
inline constexpr const char* kAddressZero =
    "Ustawiając Adres = 0 oznaczasz czytnik jako nie posiadający jeszcze ustawionego adresu.";
inline constexpr const char* kAddressInUse = "Ten adres jest już przypisany innemu czytnikowi.";
inline constexpr const char* kAddressRefused = "Zapis adresu się nie powiódł.";
inline constexpr const char* kNoKeysFromArkan = "Problem z uzyskaniem kluczy od Arkan.";
inline constexpr const char* kKeysRefused = "Problem z zapisaniem kluczy do czytnika.";
inline constexpr const char* kKeysWritten = "Klucze wpisane do wszystkich dostępnych czytników.";
inline constexpr const char* kConfigRefused = "Zapis konfiguracji do czytnika się nie powiódł.";
inline constexpr const char* kConfigWritten = "Konfiguracja zapisana do aktualnie wybranego czytnika.";
inline constexpr const char* kConfigRefusedBySome =
    "Zapis konfiguracji do niektórych z dostępnych czytników się nie powiódł.";
inline constexpr const char* kConfigWrittenToAll = "Konfiguracja zapisana do wszystkich dostępnych czytników.";
inline constexpr const char* kModuleRefused = "Zapis konfiguracji QO-L74 się nie powiódł.";
inline constexpr const char* kModuleWritten = "Konfiguracja QO-L74 zapisana.";

// The Cards tab: its information labels and messages.
inline constexpr const char* kCardsPrgrInfo =
    "Administrator systemu wgrywa do programatora QO-G30 klucze i ustala początkowe hasło użytkownika.";
inline constexpr const char* kCardsPrgrInfo2 =
    "Kartę można odczytać tylko w przypadku gdy do jej zaprogramowania zostały użyte te same klucze, które "
    "posiada aktualnie Programator QO-G30.\nKarta zaprogramowana kluczami tymczasowymi może być skasowana przez "
    "Programator QO-G30 posiadający dowolne klucze tymczasowe.\nKartę zaprogramowaną kluczami docelowymi może "
    "skasować tylko programator QO-G30 posiadający te same klucze.";
inline constexpr const char* kCardCleared = "Karta skasowana.";

// The Installation key tab: its information labels and messages; without the system's
// random bytes no key is generated.
inline constexpr const char* kArInfo = "Arkan przechowuje klucz Master Instalacji.";
inline constexpr const char* kArInfo2 =
    "Hasło Instalatora pozwala w programie DiRizErurad\npobrać z Arkan klucze dla czytników.";
inline constexpr const char* kKeyPrgrInfo =
    "Aby programator QO-G30 mógł programować karty potrzebuje zestawu kluczy generowanych przez Arkan z "
    "klucza Master Instalacji.";
inline constexpr const char* kTagInfo1 =
    "Programator QO-G30, w obecności Arkan pozwala zaprogramować kartę zawierającą zaszyfrowaną kopię "
    "zapasową docelowego klucza Master Instalacji.\nW przypadku uszkodzenia Arkan karta ta pozwoli wgrać Klucz "
    "Master Instalacji do innej sztuki Arkan.\nJest to mozliwe tylko w danej instalacji (tylko czytniki tej "
    "instalacji posiadają klucze niezbędne do odczytania i rozszyfrowania karty).";
inline constexpr const char* kTargetExplanation =
    "Klucz docelowy jest generowany\njednorazowo dla danej instalacji.\nPo wpisaniu do Arkan nie może\nbyć on "
    "zastąpiony innym kluczem.";
inline constexpr const char* kTemporaryExplanation =
    "Klucz tymczasowy służy do testów\nsystemu QoZEL z kontrolerem OSDP.\nLiczba kart zaprogramowanych "
    "kluczem\ntymczasowym jest ograniczona do 4.";
inline constexpr const char* kNoRandomness =
    "System operacyjny nie dostarczył danych losowych.\nKlucz nie został wygenerowany.";

// The Recovery tab: its information labels and messages.
inline constexpr const char* kPrgrResetInfo =
    "Gdy Programator QO-G30 zawiera klucze docelowe jego Reset do ustawień fabrycznych jest możliwy tylko w "
    "obecności Arkan zawierającego Klucz Master Instalacji z którego powstały klucze zawarte w Programatorze "
    "(jednakowa sygnatura kluczy).\n\nGdy Programator QO-G30 nie zawiera kluczy docelowych jego Reset do "
    "ustawień fabrycznych jest możliwy bez ograniczeń.";
inline constexpr const char* kArPassResetInfo =
    "W przypadku utraty hasła administratora systemu odzyskanie dostępu do Arkan wymaga zresetowania "
    "hasła.\nGdy Arkan posiada docelowy klucz Master Instalacji ustawienie nowego hasła jest możliwe tylko przy "
    "aktywnym połączeniu z czytnikami danej instalacji.\n\nGdy Arkan nie zawiera klucza docelowego jego Reset "
    "do ustawień fabrycznych jest możliwy bez ograniczeń.";
inline constexpr const char* kPassChangeInfo =
    "Jeżeli niezbędna jest zmiana hasła administratora systemu to należy dokonać jej indywidualnie w Arkan i w "
    "każdym z używanych w systemie programatorów QO-G30.\nSystem ma jedno hasło administratora używane do "
    "logowania do Arkan i do programatorów. Dlatego, po jego zmianie, we wszystkich tych urządzeniach musi ono "
    "być takie samo.\nPodczas normalnej pracy program raz pytając o hasło loguje się zarówno do Arkan jak i do "
    "programatora QO-G30 (gdy oba są podłączone).";
inline constexpr const char* kKeyFromCardInfo =
    "W przypadku uszkodzenia Arkan możliwe jest wgranie tego samego Klucza Master Instalacji do nowego "
    "egzemplarza Arkan.\nNależy w tym celu skorzystać z jednej z przygotowanych wcześniej kart zawierających "
    "kopię zapasową Klucza Master Instalacji.\nKarta z kopią zapasową może być odczytana i rozszyfrowana tylko "
    "przez czytniki posiadające klucze wytworzone przez Arkan z zawartego w nim Klucza Master "
    "Instalacji.\nDlatego wgranie Klucza Master Instalacji do nowego Arkan jest możliwe tylko przy aktywnym "
    "połączeniu z czytnikami danej instalacji.";
inline constexpr const char* kArResetRefused = "Arkan nie przyjmuje polecenia 'Reset do ustawień fabrycznych.";
inline constexpr const char* kArResetDone = "Arkan został przywrócony do ustawień fabrycznych.";
inline constexpr const char* kRecoverLine1 = "Odzyskiwanie dostępu do Arkan";
inline constexpr const char* kRecoverLine2 = "Ustawienie nowego hasła administratora";
inline constexpr const char* kNoReaderWithSignature =
    "Żaden z czytników na szynie RS485 nie ma kluczy\no tej samej sygnaturze co klucze w Arkan.";
inline constexpr const char* kArRefusesCertificate = "Arkan nie chce wydać certyfikatu.";
inline constexpr const char* kReaderRefusesSigning =
    "Nieudane podpisanie certyfikatu resetowania hasła administratora Arkan.";
inline constexpr const char* kArRefusesNewPassword = "Arkan nie pozwala ustawić hasła administratora.";
inline constexpr const char* kNewPasswordSet = "W Arkan ustawiono nowe hasło administratora.";
inline constexpr const char* kNoReaderWithBackupKeys =
    "Manager nie ma podłączonego żadnego czytnika posiadającego\nklucze niezbędne do odczytania karty kopii "
    "zapasowej\nklucza Master Instalacji.";
inline constexpr const char* kPresentBackupCard =
    "Potwierdź operację klikając w klawisz [ OK ], a następnie,\nw ciągu minuty, zbliż kartę z kopią zapasową "
    "klucza Master\nInstalacji do jednego z czytników podłączonych aktualnie do\nQoZEL Managera.\n\nJeśli czytnik "
    "ten posiada klucze pochodzące z tego samego\nklucza Master Instalacji, to certyfikat z Kluczem Master\n"
    "Instalacji zostanie odczytany i przesłany do Arkan.";

// Device panes of the Cards and Key tabs: the device's name when present,
// the line when absent, and the keyboard reader's key state.
inline constexpr const char* kArkanName = "QoZEL Arkan";
inline constexpr const char* kNoArkan = "Brak QoZEL Arkan";
inline constexpr const char* kProgrammerName = "Programator QO-G30";
inline constexpr const char* kNoProgrammer = "Brak Programatora QO-G30";
inline constexpr const char* kKbReaderName = "Czytnik klawiaturowy QO-K31";
inline constexpr const char* kNoKbReader = "Brak Czytnika klawiaturowego QO-K31";
inline constexpr const char* kNoKeys = "brak";
inline constexpr const char* kTemporaryKeys = "tymczasowe";
inline constexpr const char* kTargetKeys = "docelowe";
inline constexpr const char* kSignatureMismatch = "Sygnatura kluczy niezgodna z Arkam";

} // namespace app_texts
} // namespace qozel
