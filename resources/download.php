<?php
// Albumora: liefert ein Originalfoto aus dem Ordner "original" neben diesem Skript als Download
// aus. Aufruf aus den Fotoseiten: download.php?file=<dateiname>, mit "#", "%", "&" und "+" im
// Namen als %23, %25, %26 und %2B.
//
// Das Skript liegt auf öffentlichen Webservern. Es gibt deshalb nur Dateien heraus, die unter
// einem schlichten Dateinamen direkt in "original" liegen: keine Pfade, keine versteckten
// Dateien, keine Steuerzeichen, nichts außerhalb des Ordners (auch nicht über Verknüpfungen).

declare(strict_types=1);

const ORIGINAL_ORDNER = 'original';
const MAX_NAMENSLAENGE = 255;

function nicht_gefunden(): void
{
    http_response_code(404);
    header('Content-Type: text/plain; charset=UTF-8');
    header('X-Content-Type-Options: nosniff');
    echo "404 - Die angeforderte Datei wurde nicht gefunden.\n";
    exit;
}

// Die Seiten sind in Windows-1252 geschrieben; Browser schicken Umlaute im Dateinamen daher
// meist in dieser Kodierung, während der Name auf dem Server in UTF-8 vorliegt.
function windows1252_nach_utf8(string $text): string
{
    static $sonderzeichen = [
        0x80 => 0x20AC, 0x82 => 0x201A, 0x83 => 0x0192, 0x84 => 0x201E, 0x85 => 0x2026,
        0x86 => 0x2020, 0x87 => 0x2021, 0x88 => 0x02C6, 0x89 => 0x2030, 0x8A => 0x0160,
        0x8B => 0x2039, 0x8C => 0x0152, 0x8E => 0x017D, 0x91 => 0x2018, 0x92 => 0x2019,
        0x93 => 0x201C, 0x94 => 0x201D, 0x95 => 0x2022, 0x96 => 0x2013, 0x97 => 0x2014,
        0x98 => 0x02DC, 0x99 => 0x2122, 0x9A => 0x0161, 0x9B => 0x203A, 0x9C => 0x0153,
        0x9E => 0x017E, 0x9F => 0x0178,
    ];
    $ergebnis = '';
    $laenge = strlen($text);
    for ($i = 0; $i < $laenge; $i++) {
        $byte = ord($text[$i]);
        $zeichen = $sonderzeichen[$byte] ?? $byte;
        $ergebnis .= mb_chr_ohne_mbstring($zeichen);
    }
    return $ergebnis;
}

function mb_chr_ohne_mbstring(int $zeichen): string
{
    if ($zeichen < 0x80) {
        return chr($zeichen);
    }
    if ($zeichen < 0x800) {
        return chr(0xC0 | ($zeichen >> 6)) . chr(0x80 | ($zeichen & 0x3F));
    }
    return chr(0xE0 | ($zeichen >> 12)) . chr(0x80 | (($zeichen >> 6) & 0x3F))
        . chr(0x80 | ($zeichen & 0x3F));
}

function ist_utf8(string $text): bool
{
    return preg_match('//u', $text) === 1;
}

// Ein schlichter Dateiname: nicht leer, kein Pfadtrenner, kein "..", nicht versteckt, keine
// Steuerzeichen (auch nicht die C1-Steuerzeichen von Unicode) und keines der Zeichen, die Windows
// in Dateinamen verbietet (":" öffnete dort sonst Datenströme einer Datei).
function ist_schlichter_name(string $name): bool
{
    if ($name === '' || strlen($name) > MAX_NAMENSLAENGE) {
        return false;
    }
    if ($name[0] === '.' || strpos($name, '..') !== false) {
        return false;
    }
    if (strpbrk($name, "/\\<>:\"|?*") !== false || preg_match('/[\x00-\x1F\x7F]/', $name) === 1) {
        return false;
    }
    return preg_match('/[\x{80}-\x{9F}]/u', $name) === 0;
}

// Die Namen, unter denen die Datei auf dem Server liegen kann, in dieser Reihenfolge.
function moegliche_namen(string $angefragt): array
{
    if (ist_utf8($angefragt)) {
        return [$angefragt];
    }
    return [windows1252_nach_utf8($angefragt)];
}

function finde_datei(string $name): ?string
{
    $ordner = realpath(__DIR__ . DIRECTORY_SEPARATOR . ORIGINAL_ORDNER);
    if ($ordner === false || !is_dir($ordner)) {
        return null;
    }
    $pfad = realpath($ordner . DIRECTORY_SEPARATOR . $name);
    if ($pfad === false || dirname($pfad) !== $ordner) {
        return null;
    }
    if (!is_file($pfad) || !is_readable($pfad)) {
        return null;
    }
    return $pfad;
}

// Für alte Browser ein reiner ASCII-Name, für alle anderen der echte Name (RFC 6266).
function content_disposition(string $name): string
{
    $ersatz = preg_replace('/[^A-Za-z0-9._ -]/', '_', $name);
    return 'attachment; filename="' . $ersatz . '"; filename*=UTF-8\'\'' . rawurlencode($name);
}

function content_type(string $name): string
{
    $endung = strtolower(pathinfo($name, PATHINFO_EXTENSION));
    return in_array($endung, ['jpg', 'jpeg'], true) ? 'image/jpeg' : 'application/octet-stream';
}

// Seiten älterer Läufe schreiben den Namen unverändert in den Verweis: ein "&" im Namen beendet
// dort den Wert, ein "+" wird zum Leerzeichen. Was hinter "file=" am Anfang der rohen Anfrage
// steht, ist dann der ganze Name.
function name_aus_roher_anfrage(): ?string
{
    $anfrage = $_SERVER['QUERY_STRING'] ?? '';
    if (!is_string($anfrage) || strncmp($anfrage, 'file=', 5) !== 0) {
        return null;
    }
    return rawurldecode(substr($anfrage, 5));
}

// Die Datei zum angefragten Namen, mit allen Prüfungen; null, wenn es keine gibt.
function finde_angefragte_datei($angefragt, ?string &$gefundener_name): ?string
{
    if (!is_string($angefragt) || strlen($angefragt) > MAX_NAMENSLAENGE) {
        return null;
    }
    foreach (moegliche_namen($angefragt) as $name) {
        $pfad = ist_schlichter_name($name) ? finde_datei($name) : null;
        if ($pfad !== null) {
            $gefundener_name = $name;
            return $pfad;
        }
    }
    return null;
}

$name = null;
$pfad = finde_angefragte_datei($_GET['file'] ?? null, $name);
if ($pfad === null) {
    $pfad = finde_angefragte_datei(name_aus_roher_anfrage(), $name);
}
if ($pfad === null) {
    nicht_gefunden();
}
$groesse = filesize($pfad);
$datei = fopen($pfad, 'rb');
if ($groesse === false || $datei === false) {
    nicht_gefunden();
}

while (ob_get_level() > 0) {
    ob_end_clean();
}
header('Content-Type: ' . content_type($name));
header('Content-Disposition: ' . content_disposition($name));
header('Content-Length: ' . $groesse);
header('X-Content-Type-Options: nosniff');
header('Cache-Control: private, max-age=0');
fpassthru($datei);
fclose($datei);
