// Everything a host of the interplay access component compiles against.
#ifndef ZU_INTERPLAY_ACCESS_H
#define ZU_INTERPLAY_ACCESS_H

#include "IKoPool.h"
#include "IZuInterplayAccess.h"
#include "IZuInterplayAssetDescription.h"
#include "IZuInterplayConnection.h"
#include "IZuInterplayMobAttribute.h"
#include "IZuInterplayMobLocator.h"
#include "IZuInterplayObject.h"
#include "KoCom.h"
#include "ZuResultCodes.h"

#endif // ZU_INTERPLAY_ACCESS_H
