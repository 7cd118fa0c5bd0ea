// The extraction run behind TZipReader::ExtractMatching and ExtractMarked.
#pragma once

namespace zip {

class TZipReader;

// Extracts the chosen entries of the reader's loaded directory (the marked ones, or those DoAll
// and FilesList choose) from its open archive; returns the number of good results.
int RunExtraction(TZipReader& reader, bool markedOnly);

}  // namespace zip
