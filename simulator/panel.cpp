// The simulator's handlers (to be written).
#include "app/riloform.h"

void RiloForm::TukuruCmd_Click() {}
void RiloForm::TukuruStep() {}
void RiloForm::TModoru_Click() {}
void RiloForm::TKionUpCmd_Click() {}
void RiloForm::TKionDnCmd_Click() {}
void RiloForm::TSitudoUpCmd_Click() {}
void RiloForm::TSitudoDnCmd_Click() {}
void RiloForm::THaruCmd_Click() {}
void RiloForm::TTuyuCmd_Click() {}
void RiloForm::TNatuCmd_Click() {}
void RiloForm::TAkiCmd_Click() {}
void RiloForm::THuyuCmd_Click() {}
void RiloForm::TTakasaUpCmd_Click() {}
void RiloForm::TTakasaDnCmd_Click() {}
void RiloForm::ShowWeather() {}
void RiloForm::DrawAirParcel() {}
void RiloForm::DrawCloudParcel() {}
