// The engine's message table: English texts under fixed ids.
#pragma once

#include <string>

namespace zip {

enum MessageId {
  kMsgOpenZipFile = 176,
  kMsgOpenFilter = 177,
  kMsgCanceledDestDir = 178,
  kMsgIndexOutOfRange = 179,
  kMsgComponentBusy = 180,
  kMsgUserAborted = 181,
  kMsgIncompleteZip = 182,
  kMsgNotAValidZip = 183,
  kMsgInsertDisk = 184,
  kMsgOfMultiDiskSet = 185,
  kMsgCanceledZipName = 186,
  kMsgCanceledZipOperation = 187,
  kMsgZip64NotSupported = 188,
  kMsgZip64Records = 189,
  kMsgSeekError = 190,
  kMsgInvalidSeekOrigin = 191,
  kMsgPutbackOverflow = 192,
  kMsgInflateOutOfMemory = 193,
  kMsgPrematureEnd = 194,
  kMsgReplaceExisting = 195,
  kMsgFileExistsAlert = 196,
  kMsgUnknownMethod = 197,
  kMsgZipError = 198,
  kMsgLargerThanUncompressed = 199,
  kMsgCouldNotCopyFrom = 202,
  kMsgError = 203,
  kMsgNotEnoughRoom = 204,
  kMsgCantWriteUncompressed = 207,
  kMsgTooManyParts = 208,
  kMsgSplitNotUpdated = 209,
  kMsgBadPartSize = 210,
  kMsgCreateZipConfig = 211,
  kMsgSaveZipConfig = 212,
};

// The text under an id; empty for an id the table does not hold.
std::string LoadZipString(int id);

}  // namespace zip
