// Named ids of the string table used by the rich edit control and its embedded objects.
#pragma once

namespace sid {
constexpr int PasteUnformattedName = 65232;   // "Unformatierter Text"
constexpr int PasteUnformattedResult = 65233; // "Text ohne Formatierungen"
constexpr int PasteMetafileName = 65234;      // "Grafik"
constexpr int PasteMetafileResult = 65235;    // "Grafik"
constexpr int PasteDibName = 65236;           // "Geräteunabhängiges Bild"
constexpr int PasteDibResult = 65237;         // "geräteunabhängiges Bild"
constexpr int ObjectCannotOpen = 65238;       // "Das Objekt kann nicht geöffnet werden."
constexpr int OleError = 65239;               // "OLE-Fehler %.8x"
constexpr int RichEditInsertLine = 65251;     // "Fehler bei Einfügen von RichEdit-Zeile"
constexpr int StreamLoadFailed = 65252;       // "Das Laden des Streams ist mißlungen"
constexpr int StreamSaveFailed = 65253;       // "Das Speichern des Streams ist mißlungen"
constexpr int InsertObjectCaption = 65254;    // "Objekt einfügen in (%s)"
constexpr int ObjectPropertiesCaption = 65255;// "%s Eigenschaften"
constexpr int ObjectMenuItem = 65256;         // "Object"
constexpr int DocumentNameFormat = 65257;     // "(%s)"
constexpr int PasteEmbeddedName = 65258;      // "%s"
constexpr int PasteEmbeddedResult = 65259;    // "%s"
constexpr int PasteLinkName = 65260;          // "%s"
constexpr int PasteLinkResult = 65261;        // "%s"
constexpr int PasteRtfName = 65262;           // "Formatierter Text (RTF)"
constexpr int PasteRtfResult = 65263;         // "Text mit Formatierungen"
}  // namespace sid
