#include "nmea/records.h"

namespace nmeaz {

GgaRecord ggaRecord;
RmcRecord rmcRecord;
GllRecord gllRecord;
DptRecord dptRecord;
GsaRecord gsaRecord;
VdmRecord vdmRecord;
HdgRecord hdgRecord;
MtwRecord mtwRecord;
MwdRecord mwdRecord;
RmaRecord rmaRecord;
RsaRecord rsaRecord;
VhwRecord vhwRecord;
VlwRecord vlwRecord;
XteRecord xteRecord;
ZdaRecord zdaRecord;
ApbRecord apbRecord;
DbtRecord dbtRecord;
GsvRecord gsvRecord;
HdtRecord hdtRecord;
HscRecord hscRecord;
MwvRecord mwvRecord;
RotRecord rotRecord;
RpmRecord rpmRecord;
VbwRecord vbwRecord;
VdrRecord vdrRecord;
VtgRecord vtgRecord;
HdmRecord hdmRecord;
ThsRecord thsRecord;
WindRecord vwrRecord;
WindRecord vwtRecord;
VpwRecord vpwRecord;
WcvRecord wcvRecord;
RmbRecord rmbRecord;
BodRecord bodRecord;
BearingRecord bwcRecord;
BearingRecord bwrRecord;
AamRecord aamRecord;
RteRecord rteRecord;
WplRecord wplRecord;
XdrRecord xdrRecord;
MdaRecord mdaRecord;
TxtRecord txtRecord;
GnsRecord gnsRecord;
GstRecord gstRecord;
GbsRecord gbsRecord;
GrsRecord grsRecord;
DtmRecord dtmRecord;
DbtRecord dbsRecord;
DbtRecord dbkRecord;

char currentSentenceName[kSentenceNameSize];

}  // namespace nmeaz
