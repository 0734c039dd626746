#include "report/PrintedMarkers.h"

#include "view/CMarkerLayer.h"

PrintedMarkerPainter DefaultPrintedMarkerPainter()
{
    return &CMarkerLayer::DrawMarkerOnDevice;
}
