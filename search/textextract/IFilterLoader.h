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
#pragma once

#include "search/textextract/IFilter.h"
#include "search/textextract/IRegistry.h"

#include <QString>
#include <memory>

// The interface id under which filters register for a persistent handler.
extern const QString kIFilterInterfaceId;

// The filter for `path`, or null with the reason in *result.
std::unique_ptr<IFilter> loadIFilter(const QString& path, const IRegistry& registry,
                                     FilterResult* result);

// The filter implemented by `module` for `path`, or null when the module is unknown.
std::unique_ptr<IFilter> createIFilter(const QString& module, const QString& path);
