#ifndef MINTU_MINTU_H
#define MINTU_MINTU_H
// Every public header of libMintu_Utilities, so a program can start with one
// include. (The Java bridge's functions are declared only where <jni.h> was
// included first.)

#include "mintu/Mintu_AppException.h"
#include "mintu/Mintu_DebugMessenger.h"
#include "mintu/Mintu_DebugMessengerFactory.h"
#include "mintu/Mintu_IInterface.h"
#include "mintu/Mintu_IPUpdateInfo.h"
#include "mintu/Mintu_IRefCount.h"
#include "mintu/Mintu_IStringContainer.h"
#include "mintu/Mintu_IStringIterator.h"
#include "mintu/Mintu_Mintaro2MessageCatcher.h"
#include "mintu/Mintu_MsgMan.h"
#include "mintu/Mintu_RefCountPtr.h"
#include "mintu/Mintu_SetWorkingDirectory.h"
#include "mintu/Mintu_TRefCountHelper.h"
#include "mintu/Mintu_Types.h"
#include "mintu/Mintu_Utilities.h"
#include "mintu/Mintu_VectorHelper.h"
#include "mintu/Mintu_VectorIteratorHelper.h"
#include "mintu/Mintu_Version.h"
#include "mintu/Mintu_Vocabulary.h"
#include "mintu/Mintu_XmlAttribute.h"
#include "mintu/Mintu_XmlAttributeList.h"
#include "mintu/Mintu_XmlDocument.h"
#include "mintu/Mintu_XmlElement.h"
#include "mintu/Mintu_XmlElementList.h"
#include "mintu/Mintu_XmlReader.h"
#include "mintu/Mintu_XmlText.h"

#endif  // MINTU_MINTU_H
