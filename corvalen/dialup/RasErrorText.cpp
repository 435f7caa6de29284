#include "RasErrorText.h"

namespace {

// Codes 600 to 753 in order. Most are the descriptions of the RAS error list; codes whose entries
// have no description give their symbolic name.
const char* const kTexts[] = {
    "Unerwarteter Fehler. ",  // 600
    "The port handle is invalid. ",  // 601
    "The port is already open. ",  // 602
    "Caller's buffer is too small. ",  // 603
    "Wrong information specified. ",  // 604
    "Cannot set port information. ",  // 605
    "The port is not connected. ",  // 606
    "The event is invalid. ",  // 607
    "The device does not exist. ",  // 608
    "The device type does not exist. ",  // 609
    "The buffer is invalid. ",  // 610
    "The route is not available. ",  // 611
    "The route is not allocated. ",  // 612
    "Invalid compression specified. ",  // 613
    "Out of buffers. ",  // 614
    "The port was not found. ",  // 615
    "An asynchronous request is pending. ",  // 616
    "The port or device is already disconnecting. ",  // 617
    "The port is not open. ",  // 618
    "The port is disconnected. ",  // 619
    "There are no endpoints. ",  // 620
    "Cannot open the phone book file. ",  // 621
    "Cannot load the phone book file. ",  // 622
    "Cannot find the phone book entry. ",  // 623
    "Cannot write the phone book file. ",  // 624
    "Invalid information found in the phone book file. ",  // 625
    "Cannot load a string. ",  // 626
    "Cannot find key. ",  // 627
    "The port was disconnected. ",  // 628
    "The port was disconnected by the remote machine. ",  // 629
    "The port was disconnected due to hardware failure. ",  // 630
    "The port was disconnected by the user. ",  // 631
    "The structure size is incorrect. ",  // 632
    "The port is already in use or is not configured for Remote Access dial out. ",  // 633
    "Cannot register your computer on the remote network. ",  // 634
    "Unknown error. ",  // 635
    "The wrong device is attached to the port. ",  // 636
    "The string could not be converted. ",  // 637
    "The request has timed out. ",  // 638
    "No asynchronous net available. ",  // 639
    "A NetBIOS error has occurred. ",  // 640
    "The server cannot allocate NetBIOS resources needed to support the client. ",  // 641
    "One of your NetBIOS names is already registered on the remote network. ",  // 642
    "A network adapter at the server failed. ",  // 643
    "You will not receive network message popups. ",  // 644
    "Internal authentication error. ",  // 645
    "The account is not permitted to log on at this time of day. ",  // 646
    "The account is disabled. ",  // 647
    "The password has expired. ",  // 648
    "The account does not have Remote Access permission. ",  // 649
    "The Remote Access server is not responding. ",  // 650
    "Your modem (or other connecting device) has reported an error. ",  // 651
    "Unrecognized response from the device. ",  // 652
    "A macro required by the device was not found in the device .INF file section. ",  // 653
    "A command or response in the device .INF file section refers to an undefined macro. ",  // 654
    "The <message> macro was not found in the device .INF file section. ",  // 655
    "The <defaultoff> macro in the device .INF file section contains an undefined macro. ",  // 656
    "The device .INF file could not be opened. ",  // 657
    "The device name in the device .INF or media .INI file is too long. ",  // 658
    "The media .INI file refers to an unknown device name. ",  // 659
    "The device .INF file contains no responses for the command. ",  // 660
    "The device .INF file is missing a command. ",  // 661
    "Attempted to set a macro not listed in device .INF file section. ",  // 662
    "The media .INI file refers to an unknown device type. ",  // 663
    "Cannot allocate memory. ",  // 664
    "The port is not configured for Remote Access. ",  // 665
    "Your modem (or other connecting device) is not functioning. ",  // 666
    "Cannot read the media .INI file. ",  // 667
    "The connection dropped. ",  // 668
    "The usage parameter in the media .INI file is invalid. ",  // 669
    "Cannot read the section name from the media .INI file. ",  // 670
    "Cannot read the device type from the media .INI file. ",  // 671
    "Cannot read the device name from the media .INI file. ",  // 672
    "Cannot read the usage from the media .INI file. ",  // 673
    "Cannot read the maximum connection BPS rate from the media .INI file. ",  // 674
    "Cannot read the maximum carrier BPS rate from the media .INI file. ",  // 675
    "The line is busy. ",  // 676
    "A person answered instead of a modem. ",  // 677
    "There is no answer. ",  // 678
    "Cannot detect carrier. ",  // 679
    "There is no dial tone. ",  // 680
    "General error reported by device. ",  // 681
    "ERROR_WRITING_SECTIONNAME ",  // 682
    "ERROR_WRITING_DEVICETYPE ",  // 683
    "ERROR_WRITING_DEVICENAME ",  // 684
    "ERROR_WRITING_MAXCONNECTBPS ",  // 685
    "ERROR_WRITING_MAXCARRIERBPS ",  // 686
    "Bitte versuchen Sie es erneut !",  // 687
    "ERROR_WRITING_DEFAULTOFF ",  // 688
    "ERROR_READING_DEFAULTOFF ",  // 689
    "ERROR_EMPTY_INI_FILE ",  // 690
    "Access denied because username and/or password is invalid on the domain. ",  // 691
    "Hardware failure in port or attached device. ",  // 692
    "ERROR_NOT_BINARY_MACRO ",  // 693
    "ERROR_DCB_NOT_FOUND ",  // 694
    "ERROR_STATE_MACHINES_NOT_STARTED ",  // 695
    "ERROR_STATE_MACHINES_ALREADY_STARTED ",  // 696
    "ERROR_PARTIAL_RESPONSE_LOOPING ",  // 697
    "A response keyname in the device .INF file is not in the expected format. ",  // 698
    "The device response caused buffer overflow. ",  // 699
    "The expanded command in the device .INF file is too long. ",  // 700
    "The device moved to a BPS rate not supported by the COM driver. ",  // 701
    "Device response received when none expected. ",  // 702
    "The connection needs information from you, but the application does not allow user interaction. ",  // 703
    "ERROR_BAD_CALLBACK_NUMBER",  // 704
    "ERROR_INVALID_AUTH_STATE ",  // 705
    "ERROR_WRITING_INITBPS ",  // 706
    "X.25 diagnostic indication. ",  // 707
    "The account has expired. ",  // 708
    "Error changing password on domain. ",  // 709
    "Serial overrun errors were detected while communicating with your modem. ",  // 710
    "RasMan initialization failure.  Check the event log. ",  // 711
    "Biplex port is initializing.  Wait a few seconds and redial. ",  // 712
    "No active ISDN lines are available. ",  // 713
    "No ISDN channels are available to make the call. ",  // 714
    "Too many errors occurred because of poor phone line quality. ",  // 715
    "The Remote Access IP configuration is unusable. ",  // 716
    "No IP addresses are available in the static pool of Remote Access IP addresses. ",  // 717
    "Timed out waiting for a valid response from the remote PPP peer. ",  // 718
    "PPP terminated by remote machine. ",  // 719
    "No PPP control protocols configured. ",  // 720
    "Remote PPP peer is not responding. ",  // 721
    "The PPP packet is invalid. ",  // 722
    "The phone number, including prefix and suffix, is too long. ",  // 723
    "The IPX protocol cannot dial out on the port because the computer is an IPX router. ",  // 724
    "The IPX protocol cannot dial in on the port because the IPX router is not installed. ",  // 725
    "The IPX protocol cannot be used for dial out on more than one port at a time. ",  // 726
    "Cannot access TCPCFG.DLL. ",  // 727
    "Cannot find an IP adapter bound to Remote Access. ",  // 728
    "SLIP cannot be used unless the IP protocol is installed. ",  // 729
    "Computer registration is not complete. ",  // 730
    "The protocol is not configured. ",  // 731
    "The PPP negotiation is not converging. ",  // 732
    "The PPP control protocol for this network protocol is not available on the server. ",  // 733
    "The PPP link control protocol terminated. ",  // 734
    "The requested address was rejected by the server. ",  // 735
    "The remote computer terminated the control protocol. ",  // 736
    "Loopback detected. ",  // 737
    "The server did not assign an address. ",  // 738
    "The authentication protocol required by the remote server cannot use the Windows NT encrypted password.  Redial, entering the password explicitly. ",  // 739
    "Invalid TAPI configuration. ",  // 740
    "The local computer does not support the required encryption type. ",  // 741
    "The remote computer does not support the required encryption type. ",  // 742
    "The remote computer requires encryption. ",  // 743
    "Cannot use the IPX network number assigned by the remote server.  Check the event log. ",  // 744
    "ERROR_INVALID_SMM ",  // 745
    "ERROR_SMM_UNINITIALIZED ",  // 746
    "ERROR_NO_MAC_FOR_PORT ",  // 747
    "ERROR_SMM_TIMEOUT ",  // 748
    "ERROR_BAD_PHONE_NUMBER ",  // 749
    "ERROR_WRONG_MODULE ",  // 750
    "The callback number contains an invalid character.  Only the following 18 characters are allowed:  0 to 9, T, P, W, (, ), -, @, and space. ",  // 751
    "A syntax error was encountered while processing a script. ",  // 752
    "The connection could not be disconnected because it was created by the multi-protocol router. ",  // 753
};

}  // namespace

const char* RasErrorText(unsigned code) {
  if (code < kRasErrorFirst || code > kRasErrorLast) return "Unerwarteter Fehler. Bitte versuchen sie es erneut";
  return kTexts[code - kRasErrorFirst];
}

namespace {

// The reasons a dial ends with, by RAS error number.
struct CRasReason {
  unsigned code;
  const char* text;
};
const CRasReason kReasons[] = {
    {600, "Unerwarteter Fehler"},
    {601, "Der Anschluss des DFÜ-Geräts ist ungültig"},
    {602, "Der Anschluss des DFÜ-Geräts ist bereits geöffnet"},
    {606, "Der Anschluss ist nicht verbunden"},
    {608, "Das DFÜ-Gerät ist nicht vorhanden"},
    {609, "Der Gerätetyp ist nicht vorhanden"},
    {615, "Der Anschluss des DFÜ-Geräts wurde nicht gefunden"},
    {617, "Die Verbindung wird bereits getrennt"},
    {619, "Die Verbindung zum Anschluss wurde getrennt"},
    {621, "Das Telefonbuch kann nicht geöffnet werden"},
    {623, "Der DFÜ-Eintrag wurde nicht gefunden"},
    {628, "Die Verbindung wurde getrennt"},
    {629, "Die Gegenstelle hat die Verbindung getrennt"},
    {630, "Die Verbindung wurde wegen eines Hardwarefehlers getrennt"},
    {631, "Die Verbindung wurde vom Benutzer getrennt"},
    {633, "Das DFÜ-Gerät ist belegt oder nicht für ausgehende Verbindungen eingerichtet"},
    {638, "Zeitüberschreitung bei der Einwahl"},
    {645, "Interner Fehler bei der Anmeldung"},
    {646, "Eine Anmeldung ist zu dieser Tageszeit nicht erlaubt"},
    {647, "Das Konto ist gesperrt"},
    {648, "Das Kennwort ist abgelaufen"},
    {649, "Das Konto hat keine Berechtigung zur Einwahl"},
    {650, "Der Einwahlrechner antwortet nicht"},
    {651, "Das Modem (oder DFÜ-Gerät) hat einen Fehler gemeldet"},
    {652, "Unbekannte Antwort des Modems (oder DFÜ-Geräts)"},
    {666, "Das Modem (oder DFÜ-Gerät) funktioniert nicht"},
    {668, "Die Verbindung ist abgebrochen"},
    {676, "Leitung besetzt"},
    {677, "Am anderen Ende hat sich eine Person statt eines Modems gemeldet"},
    {678, "Keine Antwort der Gegenstelle"},
    {679, "Kein Trägersignal"},
    {680, "Kein Freizeichen"},
    {681, "Das DFÜ-Gerät hat einen allgemeinen Fehler gemeldet"},
    {691, "Benutzername oder Kennwort falsch"},
    {692, "Hardwarefehler am Anschluss oder am DFÜ-Gerät"},
    {708, "Das Konto ist abgelaufen"},
    {709, "Das Kennwort konnte nicht geändert werden"},
    {710, "Übertragungsfehler zwischen Rechner und Modem"},
    {711, "Der DFÜ-Dienst konnte nicht gestartet werden"},
    {713, "Keine ISDN-Leitung verfügbar"},
    {714, "Kein ISDN-Kanal frei"},
    {715, "Zu viele Fehler wegen schlechter Leitungsqualität"},
    {718, "Die Gegenstelle hat nicht rechtzeitig geantwortet"},
    {719, "Die Gegenstelle hat die Verbindung beendet"},
    {720, "Keine Verbindungsprotokolle eingerichtet"},
    {721, "Die Gegenstelle antwortet nicht"},
    {723, "Die Rufnummer ist zu lang"},
    {734, "Das Verbindungsprotokoll wurde beendet"},
    {738, "Der Einwahlrechner hat keine Adresse zugewiesen"},
    {742, "Die Gegenstelle unterstützt die verlangte Verschlüsselung nicht"},
    {743, "Die Gegenstelle verlangt eine Verschlüsselung"},
    {752, "Fehler im Anmeldeskript"},
    {769, "Das Ziel ist nicht erreichbar"},
    {777, "Das Modem der Gegenstelle funktioniert nicht"},
    {797, "Das Modem wurde nicht gefunden oder ist belegt"},
};

}  // namespace

const char* RasErrorReason(unsigned code) {
  for (const CRasReason& r : kReasons)
    if (r.code == code) return r.text;
  return "Die Einwahl ist fehlgeschlagen";
}

bool IsRasLoginRefused(unsigned code) { return code == 691; }
