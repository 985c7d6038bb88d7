#include "components/Handle.h"

#include "components/Iron.h"
#include "shell/Global.h"

void THandlePictures::Load(const QString& stem) {
    HorizontalCursor = BitmapToCursor(LoadTransparentBitmap(stem));
    Body = LoadTransparentBitmap(stem + "NoHandle");
    Handle = LoadTransparentBitmap(stem + "Handle");
    VerticalCursor = BitmapToCursor(LoadTransposedBitmap(stem));
    BodyV = LoadTransparentBitmap(stem + "NoHandleV");
    HandleV = LoadTransposedBitmap(stem + "Handle");
}

void THandlePictures::CopyTo(TIron& part) const {
    part.HorizontalPicture = Body;
    part.VerticalPicture = BodyV;
    part.HorizontalCursor = HorizontalCursor;
    part.VerticalCursor = VerticalCursor;
    part.ShowOrientationPicture();
}
