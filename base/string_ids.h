// Named ids of the string table. The program's own texts are 65136-65315; the runtime's and
// window framework's messages, button captions, key and calendar names are 65316-65535.
#pragma once

namespace sid {
// Program texts used by the runtime and the node tree.
constexpr int ProgramName = 65147;         // "Dadirevovezi"
constexpr int NodeNotRegistered = 65290;   // "Node-Objekt "%s" ist nicht registriert."
constexpr int NodeIntoItself = 65291;      // "Node kann nicht in sich selbst eingefügt werden"
constexpr int NodeCannotAssign = 65292;    // "%s kann nicht zu %s zugewiesen werden"
constexpr int ConfigCannotLoad = 65293;    // "Kann Konfiguration nicht laden, "

// Runtime and framework messages.
constexpr int ClipboardOpenError = 65316;  // "Zwischenablage kann nicht geöffnet werden"
constexpr int ClipboardFormatError = 65317;// "Das Format der Zwischenablage wird nicht unterstützt"
constexpr int GridTooManyDeleted = 65360;  // "Zu viele Zeilen oder Spalten gelöscht"
constexpr int GridIndexOutOfRange = 65361; // "Gitterindex außerhalb des zulässigen Bereichs"
constexpr int GridTooLarge = 65391;        // "Gitter zu groß für Operation"
constexpr int InvalidInteger = 65424;      // "'%s' ist kein gültiger Integerwert"
constexpr int InvalidFloat = 65425;        // "'%s' ist kein gültiger Gleitkommawert"
constexpr int InvalidFormat = 65426;       // "Format '%s' ungültig oder nicht kompatibel mit Argument"
constexpr int ListIndexError = 65428;      // "Listenindex überschreitet das Maximum (%d)"
constexpr int DuplicateString = 65429;     // "Stringliste erlaubt keine Duplikate"
constexpr int ClassNotFound = 65430;       // "Klasse %s nicht gefunden"
constexpr int ReadError = 65431;           // "Stream-Lesefehler"
constexpr int WriteError = 65432;          // "Stream-Schreibfehler"
constexpr int PropertyReadOnly = 65433;    // "Eigenschaft ist schreibgeschützt"
constexpr int InvalidPropertyPath = 65434; // "Ungültiger Pfad für Eigenschaft"
constexpr int UnknownProperty = 65435;     // "Eigenschaft existiert nicht"
constexpr int InvalidPropertyValue = 65436;// "Ungültiger Eigenschaftswert"
constexpr int FCreateError = 65447;        // "Datei %s kann nicht erstellt werden"
constexpr int FOpenError = 65448;          // "Datei %s kann nicht geöffnet werden"
constexpr int InvalidStreamFormat = 65454; // "Ungültiges Stream-Format"
}  // namespace sid
