#!/usr/bin/env python3
"""Loopback stand-in of the tax authority's Online Számla 3.0 interface for the tests.

    nav_api_stand_in.py --schema-dir DIR --login L --password P --signing-key K
                        --exchange-key X --tax-number NNNNNNNN

Listens on a free loopback port and prints it as the first line of stdout. Serves
POST /invoiceService/v3/tokenExchange, /manageInvoice, /manageAnnulment, /queryTransactionStatus and
/queryTransactionList, checking what the authority checks on receipt:

  * the request is well-formed and valid against invoiceApi.xsd (xmllint, validate-api.xsd),
    its root element is the operation's;
  * requestVersion 3.0, headerVersion 1.0, the time stamp within a day of the server's clock;
  * the login and passwordHash (SHA-512, upper case), the tax number of the technical user;
  * requestSignature (SHA3-512, upper case) over requestId + time stamp + signing key, and for
    manageInvoice / manageAnnulment each index's SHA3-512 of operation + base64 data;
  * requestId unique among accepted requests; indexes 1, 2, 3, ...;
  * the exchange token: issued here, within its validity, used once;
  * asynchronously (reported by queryTransactionStatus): each invoice's base64 data against the
    invoice-data schema (an annulment's against invoiceAnnulment.xsd), the supplier's tax
    number, invoice numbers used once, a modification's original DONE and its modification
    index unused, an annulment's reference DONE and not under annulment.

Answers are the schema's response documents (each checked against invoiceApi.xsd before it
leaves); refusals are GeneralErrorResponse / GeneralExceptionResponse with the documented HTTP
status. Messages come from the authority's properties files of docs/.

Control for the tests (GET, on the same port):
  /control?processing_seconds=N    items stay PROCESSING for N seconds after receipt (default 0)
  /control?token_mode=normal|expired|stale
                                   expired: tokens are issued already expired on this side;
                                   stale: tokenExchange hands out the last token used again
  /control?drop=after_receipt|before_receipt
                                   the next manageInvoice/manageAnnulment gets no answer: the
                                   connection is closed after (or without) processing it
  /control?preload=NUMBER          an invoice number already reported (by another program)
  /control?approve=NUMBER          approves the pending technical annulment of NUMBER
  /control?reset=1                 forgets everything
  /control/log                     one line per received item: operation, invoice number,
                                   modification index, transaction id, index, final state
  /control/tokens                  issued<TAB>used<TAB>refused token uses
"""
import argparse
import base64
import datetime
import hashlib
import http.server
import os
import random
import shutil
import signal
import string
import subprocess
import sys
import tempfile
import threading
import urllib.parse
import uuid
import xml.etree.ElementTree as ET

from cryptography.hazmat.primitives import padding
from cryptography.hazmat.primitives.ciphers import Cipher, algorithms, modes

API = "http://schemas.nav.gov.hu/OSA/3.0/api"
COMMON = "http://schemas.nav.gov.hu/NTCA/1.0/common"
DATA = "http://schemas.nav.gov.hu/OSA/3.0/data"
BASE = "http://schemas.nav.gov.hu/OSA/3.0/base"
ANNUL = "http://schemas.nav.gov.hu/OSA/3.0/annul"

OPERATIONS = {
    "tokenExchange": "TokenExchangeRequest",
    "manageInvoice": "ManageInvoiceRequest",
    "manageAnnulment": "ManageAnnulmentRequest",
    "queryTransactionStatus": "QueryTransactionStatusRequest",
    "queryTransactionList": "QueryTransactionListRequest",
}
TOKEN_SECONDS = 300
PAGE_SIZE = 50


def now():
    return datetime.datetime.now(datetime.timezone.utc)


def stamp(moment):
    return moment.strftime("%Y-%m-%dT%H:%M:%S.") + "%03dZ" % (moment.microsecond // 1000)


def parse_stamp(text):
    text = text.strip()
    if not text.endswith("Z"):
        raise ValueError(text)
    core = text[:-1]
    fmt = "%Y-%m-%dT%H:%M:%S.%f" if "." in core else "%Y-%m-%dT%H:%M:%S"
    return datetime.datetime.strptime(core, fmt).replace(tzinfo=datetime.timezone.utc)


def upper_sha3(text):
    return hashlib.sha3_512(text.encode("utf-8")).hexdigest().upper()


def upper_sha512(text):
    return hashlib.sha512(text.encode("utf-8")).hexdigest().upper()


def esc(text):
    return (str(text).replace("&", "&amp;").replace("<", "&lt;").replace(">", "&gt;"))


def read_properties(path):
    texts = {}
    try:
        with open(path, encoding="utf-8") as f:
            for line in f:
                if "=" in line:
                    key, value = line.split("=", 1)
                    texts[key.strip().rsplit(".", 1)[-1]] = value.strip()
    except OSError:
        pass
    return texts


class Refusal(Exception):
    """A request refused as a whole: HTTP status, errorCode, message."""

    def __init__(self, status, code, message=None, technical=(), exception=False):
        super().__init__(code)
        self.status = status
        self.code = code
        self.message = message
        self.technical = list(technical)
        self.exception = exception


class Drop(Exception):
    """No answer at all: the connection is closed."""


class StandIn:
    def __init__(self, args):
        self.args = args
        self.lock = threading.Lock()
        docs = os.path.join(args.schema_dir, "docs")
        self.interface_texts = read_properties(os.path.join(docs, "messages_en_public.properties"))
        self.validation_texts = read_properties(
            os.path.join(docs, "validations_en_public.properties"))
        self.work = tempfile.mkdtemp(prefix="nav_stand_in_")
        self.annul_xsd = os.path.join(self.work, "validate-annul.xsd")
        with open(self.annul_xsd, "w", encoding="utf-8") as f:
            f.write('<?xml version="1.0" encoding="UTF-8"?>\n'
                    '<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema" '
                    'targetNamespace="urn:local:validate-annul">\n')
            for ns, name in ((COMMON, "common.xsd"), (BASE, "invoiceBase.xsd"),
                             (ANNUL, "invoiceAnnulment.xsd")):
                f.write('  <xs:import namespace="%s" schemaLocation="%s"/>\n'
                        % (ns, os.path.join(os.path.abspath(args.schema_dir), name)))
            f.write("</xs:schema>\n")
        self.reset()

    def reset(self):
        self.processing_seconds = 0.0
        self.token_mode = "normal"
        self.drop = "none"
        self.request_ids = set()
        self.tokens = {}          # token -> {"valid_to": datetime, "used": bool}
        self.last_used_token = None
        self.tokens_refused = 0
        self.transactions = {}    # id -> transaction
        self.order = []           # transaction ids in order of receipt
        self.numbers = {}         # invoice number -> {"state": "TAKEN"|"DONE", "tid", "index"}
        self.modifications = set()  # (original number, modification index)
        self.annulments = {}      # invoice number -> {"status": ..., "tid": ...}
        self.log = []

    # ---- checks --------------------------------------------------------------------------

    def schema_errors(self, xml_bytes, schema):
        run = subprocess.run(["xmllint", "--noout", "--nonet", "--schema", schema, "-"],
                             input=xml_bytes, capture_output=True)
        if run.returncode == 0:
            return []
        lines = [l for l in run.stderr.decode("utf-8", "replace").splitlines()
                 if l.strip() and not l.endswith("fails to validate")]
        return lines or ["invalid document"]

    def text(self, code, interface=True):
        texts = self.interface_texts if interface else self.validation_texts
        return texts.get(code) or code

    def check_request(self, operation, body):
        try:
            root = ET.fromstring(body)
        except ET.ParseError as e:
            raise Refusal(400, "INVALID_REQUEST", "Not well-formed XML: %s" % e, exception=True)
        errors = self.schema_errors(body, os.path.join(self.args.schema_dir, "validate-api.xsd"))
        if errors:
            raise Refusal(400, "INVALID_REQUEST", None,
                          technical=[("ERROR", "SCHEMA_VIOLATION", e) for e in errors[:5]])
        if root.tag != "{%s}%s" % (API, OPERATIONS[operation]):
            raise Refusal(500, "OPERATION_FAILED")
        header = root.find("{%s}header" % COMMON)
        user = root.find("{%s}user" % COMMON)
        h = {c.tag.split("}")[1]: (c.text or "").strip() for c in header}
        if h.get("requestVersion") != "3.0":
            raise Refusal(400, "INVALID_REQUEST_VERSION")
        if h.get("headerVersion", "1.0") != "1.0":
            raise Refusal(400, "INVALID_HEADER_VERSION")
        try:
            when = parse_stamp(h["timestamp"])
        except (KeyError, ValueError):
            raise Refusal(400, "INVALID_TIMESTAMP")
        if abs((now() - when).total_seconds()) > 24 * 3600:
            raise Refusal(400, "INVALID_TIMESTAMP")
        login = user.findtext("{%s}login" % COMMON, "").strip()
        password = user.find("{%s}passwordHash" % COMMON)
        signature = user.find("{%s}requestSignature" % COMMON)
        tax = user.findtext("{%s}taxNumber" % COMMON, "").strip()
        if password.get("cryptoType") != "SHA-512":
            raise Refusal(400, "INVALID_PASSWORD_HASH_CRYPTO")
        if signature.get("cryptoType") != "SHA3-512":
            raise Refusal(400, "INVALID_REQUEST_SIGNATURE_HASH_CRYPTO")
        if login != self.args.login or (password.text or "").strip() != upper_sha512(
                self.args.password):
            raise Refusal(401, "INVALID_SECURITY_USER")
        if tax != self.args.tax_number:
            raise Refusal(500, "INVALID_USER_RELATION")
        items = []
        if operation in ("manageInvoice", "manageAnnulment"):
            if operation == "manageInvoice":
                nodes = root.find("{%s}invoiceOperations" % API).findall(
                    "{%s}invoiceOperation" % API)
                data_tag = "invoiceData"
                op_tag = "invoiceOperation"
            else:
                nodes = root.find("{%s}annulmentOperations" % API).findall(
                    "{%s}annulmentOperation" % API)
                data_tag = "invoiceAnnulment"
                op_tag = "annulmentOperation"
            for node in nodes:
                items.append({
                    "index": int(node.findtext("{%s}index" % API)),
                    "operation": node.findtext("{%s}%s" % (API, op_tag)).strip(),
                    "b64": "".join((node.findtext("{%s}%s" % (API, data_tag)) or "").split()),
                })
        base = h["requestId"] + when.strftime("%Y%m%d%H%M%S") + self.args.signing_key
        base += "".join(upper_sha3(i["operation"] + i["b64"]) for i in items)
        if (signature.text or "").strip() != upper_sha3(base):
            raise Refusal(400, "INVALID_REQUEST_SIGNATURE")
        if [i["index"] for i in items] != list(range(1, len(items) + 1)):
            raise Refusal(400, "INDEX_NOT_SEQUENTIAL")
        return root, header, items, h["requestId"]

    def take_request_id(self, request_id):
        if request_id in self.request_ids:
            raise Refusal(400, "REQUEST_ID_NOT_UNIQUE")
        self.request_ids.add(request_id)

    def use_token(self, root):
        token = (root.findtext("{%s}exchangeToken" % API) or "").strip()
        entry = self.tokens.get(token)
        if entry is None or entry["used"] or now() > entry["valid_to"]:
            self.tokens_refused += 1
            raise Refusal(400, "INVALID_EXCHANGE_TOKEN")
        entry["used"] = True
        self.last_used_token = token

    # ---- items, checked asynchronously ----------------------------------------------------

    def business_error(self, code, tag=None, value=None):
        return {"technical": False, "kind": "ERROR", "code": code,
                "message": self.text(code, interface=False), "tag": tag, "value": value}

    def check_invoice(self, item, tid):
        """Final state and messages of one invoice; its number taken when accepted."""
        try:
            data = base64.b64decode(item["b64"], validate=True)
        except Exception:
            return "ABORTED", [{"technical": True, "kind": "ERROR", "code": "SCHEMA_VIOLATION",
                                "message": "invoiceData is not base64"}], None
        errors = self.schema_errors(data, os.path.join(self.args.schema_dir, "validate.xsd"))
        if errors:
            return "ABORTED", [{"technical": True, "kind": "ERROR", "code": "SCHEMA_VIOLATION",
                                "message": e[:1000]} for e in errors[:5]], None
        root = ET.fromstring(data)
        number = root.findtext("{%s}invoiceNumber" % DATA, "").strip()
        invoice = root.find("{%s}invoiceMain/{%s}invoice" % (DATA, DATA))
        supplier = invoice.findtext(
            "{d}invoiceHead/{d}supplierInfo/{d}supplierTaxNumber/{b}taxpayerId".format(
                d="{%s}" % DATA, b="{%s}" % BASE), "").strip()
        item["number"] = number
        reference = invoice.find("{%s}invoiceReference" % DATA)
        messages = []
        if supplier != self.args.tax_number:
            messages.append(self.business_error("SUPPLIER_TAX_NUMBER_MISMATCH",
                                                "supplierTaxNumber", supplier))
        if number in self.numbers:
            messages.append(self.business_error("INVOICE_NUMBER_NOT_UNIQUE", "invoiceNumber",
                                                number))
        if item["operation"] in ("MODIFY", "STORNO"):
            if reference is None:
                messages.append(self.business_error("INVALID_INVOICE_REFERENCE"))
            else:
                original = reference.findtext("{%s}originalInvoiceNumber" % DATA, "").strip()
                without = reference.findtext("{%s}modifyWithoutMaster" % DATA, "") == "true"
                index = int(reference.findtext("{%s}modificationIndex" % DATA, "0"))
                item["modification"] = index
                known = self.numbers.get(original)
                if not without and (known is None or self.visible_state(known) != "DONE"):
                    messages.append(self.business_error("INVALID_INVOICE_REFERENCE",
                                                        "originalInvoiceNumber", original))
                elif (original, index) in self.modifications:
                    messages.append(self.business_error("MODIFICATION_INDEX_NOT_UNIQUE",
                                                        "modificationIndex", str(index)))
                else:
                    item["chain"] = (original, index)
        elif reference is not None:
            messages.append(self.business_error("INVOICE_TYPE_MISMATCH"))
        if messages:
            return "ABORTED", messages, number
        self.numbers[number] = {"tid": tid, "index": item["index"], "received": now()}
        if "chain" in item:
            self.modifications.add(item["chain"])
        return "DONE", [], number

    def check_annulment(self, item, tid):
        try:
            data = base64.b64decode(item["b64"], validate=True)
        except Exception:
            return "ABORTED", [{"technical": True, "kind": "ERROR", "code": "SCHEMA_VIOLATION",
                                "message": "invoiceAnnulment is not base64"}], None
        errors = self.schema_errors(data, self.annul_xsd)
        if errors:
            return "ABORTED", [{"technical": True, "kind": "ERROR", "code": "SCHEMA_VIOLATION",
                                "message": e[:1000]} for e in errors[:5]], None
        root = ET.fromstring(data)
        number = root.findtext("{%s}annulmentReference" % ANNUL, "").strip()
        item["number"] = number
        known = self.numbers.get(number)
        if known is None or self.visible_state(known) != "DONE":
            return "ABORTED", [self.business_error("INVALID_ANNULMENT_REFERENCE",
                                                   "annulmentReference", number)], number
        if number in self.annulments and self.annulments[number]["status"] in (
                "VERIFICATION_PENDING", "VERIFICATION_DONE"):
            return "ABORTED", [self.business_error("ANNULMENT_IN_PROGRESS",
                                                   "annulmentReference", number)], number
        self.annulments[number] = {"status": "VERIFICATION_PENDING", "tid": tid}
        return "DONE", [], number

    def visible_state(self, known):
        """DONE once the processing time has passed since receipt."""
        if known.get("preloaded"):
            return "DONE"
        age = (now() - known["received"]).total_seconds()
        return "DONE" if age >= self.processing_seconds else "PROCESSING"

    def item_state(self, transaction, item):
        age = (now() - transaction["received"]).total_seconds()
        if age < self.processing_seconds:
            return "PROCESSING"
        return item["final"]

    # ---- operations ----------------------------------------------------------------------

    def handle(self, operation, body):
        root, header, items, request_id = self.check_request(operation, body)
        with self.lock:
            if operation == "tokenExchange":
                return self.token_exchange(header, root, request_id)
            if operation in ("manageInvoice", "manageAnnulment"):
                return self.manage(operation, header, root, items, request_id)
            if operation == "queryTransactionStatus":
                return self.transaction_status(header, root, request_id)
            return self.transaction_list(header, root, request_id)

    def token_exchange(self, header, root, request_id):
        self.take_request_id(request_id)
        if self.token_mode == "stale" and self.last_used_token is not None:
            token = self.last_used_token
        else:
            token = str(uuid.uuid4()) + "".join(
                random.choice(string.ascii_uppercase + string.digits) for _ in range(12))
            valid_to = now() + datetime.timedelta(seconds=TOKEN_SECONDS)
            if self.token_mode == "expired":
                valid_to = now() - datetime.timedelta(seconds=1)
            self.tokens[token] = {"valid_to": valid_to, "used": False}
        start = now()
        padder = padding.PKCS7(128).padder()
        plain = padder.update(token.encode("ascii")) + padder.finalize()
        cipher = Cipher(algorithms.AES(self.args.exchange_key.encode("utf-8")), modes.ECB())
        encryptor = cipher.encryptor()
        encoded = base64.b64encode(encryptor.update(plain) + encryptor.finalize()).decode()
        return 200, self.response("TokenExchangeResponse", header, root, (
            "<encodedExchangeToken>%s</encodedExchangeToken>"
            "<tokenValidityFrom>%s</tokenValidityFrom><tokenValidityTo>%s</tokenValidityTo>"
            % (encoded, stamp(start), stamp(start + datetime.timedelta(seconds=TOKEN_SECONDS)))))

    def manage(self, operation, header, root, items, request_id):
        drop = self.drop
        self.drop = "none"
        if drop == "before_receipt":
            raise Drop()
        if request_id in self.request_ids:
            raise Refusal(400, "REQUEST_ID_NOT_UNIQUE")
        self.use_token(root)
        self.request_ids.add(request_id)
        tid = "".join(random.choice(string.ascii_uppercase + string.digits) for _ in range(16))
        transaction = {"id": tid, "received": now(), "items": items,
                       "annulment": operation == "manageAnnulment"}
        for item in items:
            if transaction["annulment"]:
                final, messages, number = self.check_annulment(item, tid)
            else:
                final, messages, number = self.check_invoice(item, tid)
            item["final"] = final
            item["messages"] = messages
            self.log.append("\t".join([item["operation"], number or "",
                                       str(item.get("modification", "")), tid,
                                       str(item["index"]), final]))
        self.transactions[tid] = transaction
        self.order.append(tid)
        if drop == "after_receipt":
            raise Drop()
        name = "ManageAnnulmentResponse" if transaction["annulment"] else "ManageInvoiceResponse"
        return 200, self.response(name, header, root,
                                  "<transactionId>%s</transactionId>" % tid)

    def transaction_status(self, header, root, request_id):
        self.take_request_id(request_id)
        tid = root.findtext("{%s}transactionId" % API, "").strip()
        original = root.findtext("{%s}returnOriginalRequest" % API, "false").strip() == "true"
        transaction = self.transactions.get(tid)
        if transaction is None:
            return 200, self.response("QueryTransactionStatusResponse", header, root, "")
        parts = ["<processingResults>"]
        for item in transaction["items"]:
            state = self.item_state(transaction, item)
            parts.append("<processingResult><index>%d</index><invoiceStatus>%s</invoiceStatus>"
                         % (item["index"], state))
            if state in ("DONE", "ABORTED"):
                for m in item["messages"]:
                    if m["technical"]:
                        parts.append(
                            "<technicalValidationMessages><common:validationResultCode>%s"
                            "</common:validationResultCode><common:validationErrorCode>%s"
                            "</common:validationErrorCode><common:message>%s</common:message>"
                            "</technicalValidationMessages>"
                            % (m["kind"], esc(m["code"]), esc(m["message"])))
                for m in item["messages"]:
                    if not m["technical"]:
                        pointer = ""
                        if m.get("tag"):
                            pointer = "<pointer><tag>%s</tag>%s</pointer>" % (
                                esc(m["tag"]),
                                "<value>%s</value>" % esc(m["value"]) if m.get("value") else "")
                        parts.append(
                            "<businessValidationMessages><validationResultCode>%s"
                            "</validationResultCode><validationErrorCode>%s</validationErrorCode>"
                            "<message>%s</message>%s</businessValidationMessages>"
                            % (m["kind"], esc(m["code"]), esc(m["message"][:512]), pointer))
            parts.append("<compressedContentIndicator>false</compressedContentIndicator>")
            if original:
                parts.append("<originalRequest>%s</originalRequest>" % item["b64"])
            parts.append("</processingResult>")
        parts.append("<originalRequestVersion>3.0</originalRequestVersion>")
        if transaction["annulment"]:
            states = [self.item_state(transaction, i) for i in transaction["items"]]
            if all(state in ("DONE", "ABORTED") for state in states):
                number = transaction["items"][0].get("number")
                entry = self.annulments.get(number)
                if "ABORTED" in states or not entry or entry["tid"] != tid:
                    status = "NOT_VERIFIABLE"
                else:
                    status = entry["status"]
                parts.append("<annulmentData><annulmentVerificationStatus>%s"
                             "</annulmentVerificationStatus></annulmentData>" % status)
        parts.append("</processingResults>")
        return 200, self.response("QueryTransactionStatusResponse", header, root, "".join(parts))

    def transaction_list(self, header, root, request_id):
        self.take_request_id(request_id)
        page = int(root.findtext("{%s}page" % API, "1"))
        span = root.find("{%s}insDate" % API)
        begin = parse_stamp(span.findtext("{%s}dateTimeFrom" % API))
        end = parse_stamp(span.findtext("{%s}dateTimeTo" % API))
        if begin > end:
            raise Refusal(400, "BAD_QUERY_PARAM_OVERLAP")
        if (end - begin).total_seconds() > 35 * 24 * 3600:
            raise Refusal(400, "BAD_QUERY_PARAM_RANGE_EXCEEDED")
        found = [self.transactions[t] for t in self.order
                 if begin <= self.transactions[t]["received"] <= end]
        pages = (len(found) + PAGE_SIZE - 1) // PAGE_SIZE
        shown = found[(page - 1) * PAGE_SIZE:page * PAGE_SIZE]
        parts = ["<transactionListResult><currentPage>%d</currentPage>"
                 "<availablePage>%d</availablePage>" % (page if shown else 0, pages)]
        for t in shown:
            states = [self.item_state(t, i) for i in t["items"]]
            status = "FINISHED" if all(s in ("DONE", "ABORTED") for s in states) else "PROCESSING"
            parts.append(
                "<transaction><insDate>%s</insDate><insCusUser>%s</insCusUser>"
                "<source>XML</source><transactionId>%s</transactionId>"
                "<requestStatus>%s</requestStatus><technicalAnnulment>%s</technicalAnnulment>"
                "<originalRequestVersion>3.0</originalRequestVersion><itemCount>%d</itemCount>"
                "</transaction>"
                % (stamp(t["received"]), esc(self.args.login), t["id"], status,
                   "true" if t["annulment"] else "false", len(t["items"])))
        parts.append("</transactionListResult>")
        return 200, self.response("QueryTransactionListResponse", header, root, "".join(parts))

    # ---- answers -------------------------------------------------------------------------

    def header_xml(self, header):
        return ET.tostring(header, encoding="unicode")

    def software_xml(self, root):
        software = root.find("{%s}software" % API)
        return ET.tostring(software, encoding="unicode") if software is not None else ""

    def response(self, name, header, root, inner):
        return self.finish(
            '<?xml version="1.0" encoding="UTF-8"?>\n'
            '<%s xmlns="%s" xmlns:common="%s">%s'
            "<common:result><common:funcCode>OK</common:funcCode></common:result>%s%s</%s>"
            % (name, API, COMMON, self.header_xml(header), self.software_xml(root), inner, name))

    def refusal(self, refusal, body):
        message = refusal.message or self.text(refusal.code)
        if refusal.exception:
            return self.finish(
                '<?xml version="1.0" encoding="UTF-8"?>\n'
                '<common:GeneralExceptionResponse xmlns:common="%s"><common:funcCode>ERROR'
                "</common:funcCode><common:errorCode>%s</common:errorCode>"
                "<common:message>%s</common:message></common:GeneralExceptionResponse>"
                % (COMMON, refusal.code, esc(message)))
        try:
            root = ET.fromstring(body)
            header = root.find("{%s}header" % COMMON)
            header_xml = self.header_xml(header)
            software_xml = self.software_xml(root)
        except Exception:
            header_xml = software_xml = None
        if not header_xml or not software_xml:
            return self.refusal(Refusal(refusal.status, refusal.code, message, exception=True),
                                body)
        technical = "".join(
            "<technicalValidationMessages><common:validationResultCode>%s"
            "</common:validationResultCode><common:validationErrorCode>%s"
            "</common:validationErrorCode><common:message>%s</common:message>"
            "</technicalValidationMessages>" % (k, c, esc(m[:1000]))
            for k, c, m in refusal.technical)
        return self.finish(
            '<?xml version="1.0" encoding="UTF-8"?>\n'
            '<GeneralErrorResponse xmlns="%s" xmlns:common="%s">%s'
            "<common:result><common:funcCode>ERROR</common:funcCode>"
            "<common:errorCode>%s</common:errorCode><common:message>%s</common:message>"
            "</common:result>%s%s</GeneralErrorResponse>"
            % (API, COMMON, header_xml, refusal.code, esc(message), software_xml, technical))

    def finish(self, text):
        data = text.encode("utf-8")
        errors = self.schema_errors(data, os.path.join(self.args.schema_dir, "validate-api.xsd"))
        if errors:
            raise RuntimeError("stand-in answer not valid: %s" % "; ".join(errors))
        return data


def make_handler(stand_in):
    class Handler(http.server.BaseHTTPRequestHandler):
        protocol_version = "HTTP/1.1"

        def log_message(self, *args):
            pass

        def answer(self, status, body, content_type="application/xml"):
            self.send_response(status)
            self.send_header("Content-Type", content_type)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(body)
            self.close_connection = True

        def do_GET(self):
            url = urllib.parse.urlparse(self.path)
            if url.path == "/control/log":
                with stand_in.lock:
                    text = "".join(line + "\n" for line in stand_in.log)
                return self.answer(200, text.encode("utf-8"), "text/plain")
            if url.path == "/control/tokens":
                with stand_in.lock:
                    used = sum(1 for t in stand_in.tokens.values() if t["used"])
                    text = "%d\t%d\t%d\n" % (len(stand_in.tokens), used, stand_in.tokens_refused)
                return self.answer(200, text.encode(), "text/plain")
            if url.path != "/control":
                return self.answer(404, b"missing", "text/plain")
            with stand_in.lock:
                for name, value in urllib.parse.parse_qsl(url.query):
                    if name == "reset":
                        stand_in.reset()
                    elif name == "processing_seconds":
                        stand_in.processing_seconds = float(value)
                    elif name == "token_mode":
                        stand_in.token_mode = value
                    elif name == "drop":
                        stand_in.drop = value
                    elif name == "preload":
                        stand_in.numbers[value] = {"preloaded": True, "tid": "", "index": 0}
                    elif name == "approve":
                        entry = stand_in.annulments.get(value)
                        if entry:
                            entry["status"] = "VERIFICATION_DONE"
                            stand_in.numbers.pop(value, None)
                    else:
                        return self.answer(400, ("unknown setting " + name).encode(),
                                           "text/plain")
            return self.answer(200, b"ok", "text/plain")

        def do_POST(self):
            length = int(self.headers.get("Content-Length") or 0)
            body = self.rfile.read(length)
            prefix, _, operation = self.path.rstrip("/").rpartition("/")
            if prefix != "/invoiceService/v3" or operation not in OPERATIONS:
                return self.answer(404, b"", "text/plain")
            try:
                status, data = stand_in.handle(operation, body)
            except Drop:
                self.close_connection = True
                return
            except Refusal as r:
                status, data = r.status, stand_in.refusal(r, body)
            except Exception as e:  # a fault of the stand-in itself
                sys.stderr.write("stand-in fault: %r\n" % (e,))
                return self.answer(500, ("stand-in fault: %s" % e).encode(), "text/plain")
            self.answer(status, data)

    return Handler


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--schema-dir", required=True)
    parser.add_argument("--login", required=True)
    parser.add_argument("--password", required=True)
    parser.add_argument("--signing-key", required=True)
    parser.add_argument("--exchange-key", required=True)
    parser.add_argument("--tax-number", required=True)
    args = parser.parse_args()
    stand_in = StandIn(args)
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), make_handler(stand_in))
    server.daemon_threads = True

    def stop(*_):
        shutil.rmtree(stand_in.work, ignore_errors=True)
        sys.exit(0)

    signal.signal(signal.SIGTERM, stop)
    print(server.server_address[1], flush=True)
    try:
        server.serve_forever()
    finally:
        shutil.rmtree(stand_in.work, ignore_errors=True)


if __name__ == "__main__":
    main()
