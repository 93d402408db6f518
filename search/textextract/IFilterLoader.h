// IFilterLoader: finds and creates the filter for a document, the way the system's filter
// loader does, over the registry given:
//   Software\Classes\.<ext>\PersistentHandler                     default value: handler id
//   Software\Classes\CLSID\<handler>\PersistentAddinsRegistered\{89BCB740-6119-101A-BCB7-00DD010655AF}
//                                                                 default value: filter id
//   Software\Classes\CLSID\<filter>\InprocServer32                default value: module
// <ext> is the text after the last "." of the file name (keys compare ignoring case, so
// "REPORT.DOCX" finds ".docx").
//
// Linux decision: the module value names one of our filters instead of a library:
//   "tqfilter-ooxml"     OfficeXmlFilter (docx, xlsx, pptx and their macro-enabled,
//                        template and show variants)
//   "tqfilter-odf"       OpenDocumentFilter (odt, ods, odp, their templates, the flat and the
//                        OpenOffice.org 1.x forms)
//   "tqfilter-html"      MarkupFilter (htm, html, xhtml, xht, xml)
//   "tqfilter-msword"    BinaryDocumentFilter, Word 97-2003 (doc, dot) and RTF
//   "tqfilter-msexcel"   BinaryDocumentFilter, Excel 2 to 2003 (xls, xlt)
//   "tqfilter-mspowerpoint" BinaryDocumentFilter, PowerPoint 97-2003 (ppt, pps, pot)
//   "tqfilter-exec:<program>" ExternalProgramFilter over the program named (an absolute
//                        path), which gets the document's path as its one argument and
//                        writes the text as UTF-8 (no shipped registration uses it; a
//                        registry of the machine's own may)
// A missing link in the chain gives FILTER_E_UNKNOWNFORMAT (no filter for this type); an
// unknown module gives REGDB_E_CLASSNOTREG.
//
// A filter reads the document it is created for through that ContentFile's descriptor (or
// hands the descriptor to the program it runs), never by its path; the ContentFile must stay
// open while the filter is used. The path only names the document (extension, messages).
#pragma once

#include "search/textextract/IFilter.h"
#include "search/textextract/IRegistry.h"

#include <QString>
#include <memory>

class ContentFile;

// The interface id under which filters register for a persistent handler.
extern const QString kIFilterInterfaceId;

// The filter for `document` (chosen by the extension of its path), or null with the reason in
// *result.
std::unique_ptr<IFilter> loadIFilter(const ContentFile& document, const IRegistry& registry,
                                     FilterResult* result);

// The filter implemented by `module` for `document`, or null when the module is unknown.
std::unique_ptr<IFilter> createIFilter(const QString& module, const ContentFile& document);
