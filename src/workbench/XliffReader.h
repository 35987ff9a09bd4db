// Reading the exchange files that other tools wrote: XLIFF 1.x through Qt's
// XML reader (entities, CDATA sections and inline elements as XML has them),
// PO through the plain reader, and bringing either back into a translation.
#pragma once

#include "workbench/Exchange.h"

#include <string_view>

// Reads an XLIFF 1.0 to 1.2 document. A unit's key is its resname, else its
// id; the text of inline elements that wrap text or carry it (g, mrk, ph,
// bpt, ept, it) is part of the phrase, and a target with an element that
// stands for text it does not hold (x, bx, ex) is not read whole, so its unit
// is locked. A target in state "new" is untranslated; one in a "needs-" state
// is to be checked. Throws TExchangeFileError.
TExchangeDocument ReadXliff(std::string_view bytes);

// A PO or XLIFF file, told apart by its first character.
TExchangeDocument ReadExchangeFile(std::string_view bytes);

// The translations of an exchange file brought back into `translation` (see
// ImportUnits). Throws TExchangeFileError when the file cannot be read.
TImportResult ImportExchangeFile(std::string_view translation, TEncoding encoding,
                                 std::string_view exchangeFile);
