#include "zip/messages.h"

namespace zip {

std::string LoadZipString(int id) {
  switch (id) {
    case kMsgOpenZipFile: return "Open a Zip File";
    case kMsgOpenFilter: return "Zip Files (*.ZIP)|*.zip|SFX Files (*.EXE)|*.exe|Jar Files (*.JAR)|*.jar|All Files (*.*)|*.*";
    case kMsgCanceledDestDir: return "User canceled Set Desination Directory";
    case kMsgIndexOutOfRange: return "Index %d is out of range";
    case kMsgComponentBusy: return "The zip component is busy with another operation";
    case kMsgUserAborted: return "User Aborted Operation";
    case kMsgIncompleteZip: return "Incomplete Zip File";
    case kMsgNotAValidZip: return "Not a valid zip file!";
    case kMsgInsertDisk: return "Please insert disk ";
    case kMsgOfMultiDiskSet: return " of the multi-disk set.";
    case kMsgCanceledZipName: return "User canceled setting zip file name.";
    case kMsgCanceledZipOperation: return "User canceled Zip operation";
    case kMsgZip64NotSupported: return "Zip64 archives (over 65,535 entries or 4 GB) are not supported";
    case kMsgZip64Records: return "Archives with Zip64 records are not supported";
    case kMsgSeekError: return "Seek error";
    case kMsgInvalidSeekOrigin: return "Invalid seek origin (%d)";
    case kMsgPutbackOverflow: return "Putback overflow";
    case kMsgInflateOutOfMemory: return "*** inflate out of memory ***";
    case kMsgPrematureEnd: return "Premature end of file reached";
    case kMsgReplaceExisting: return "Replace existing file ";
    case kMsgFileExistsAlert: return "File Exists Alert";
    case kMsgUnknownMethod: return "Unknown Compression Method";
    case kMsgZipError: return "Zip Error";
    case kMsgLargerThanUncompressed: return "File is larger than uncompressed size!";
    case kMsgCouldNotCopyFrom: return "Could not copy from ";
    case kMsgError: return "Error";
    case kMsgNotEnoughRoom: return "Not enough room to write archive";
    case kMsgCantWriteUncompressed: return "Cant write uncompressed file";
    case kMsgTooManyParts: return "An archive cannot be split into more than 999 parts";
    case kMsgSplitNotUpdated: return "A split archive cannot be updated";
    case kMsgBadPartSize: return "The part size is too small for the archive's headers";
    case kMsgCreateZipConfig: return "Unable to create Zip Configuration File to disk";
    case kMsgSaveZipConfig: return "Unable to save Zip Configuration File to disk";
    default: return {};
  }
}

}  // namespace zip
