// SPDX-License-Identifier: GPL-3.0-or-later
// Builds resources/geo/ne-countries-50m.geojson and geo/RepresentativePoints.cpp from the
// Natural Earth 1:50m admin-0 countries as the world-atlas package ships them (TopoJSON).
//
//   cd tools/geo && npm ci && node make-outlines.mjs
//
// Country ids are ISO 3166-1 numeric codes; they become alpha-2 codes through the iso-codes
// table of Debian's iso-codes package.
import fs from 'node:fs';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { createRequire } from 'node:module';
import * as topojson from 'topojson-client';
import polylabel from 'polylabel';

const here = path.dirname(fileURLToPath(import.meta.url));
const root = path.resolve(here, '../..');
const require = createRequire(import.meta.url);
const isoCodesFile = process.env.ISO_CODES_JSON || '/usr/share/iso-codes/json/iso_3166-1.json';

// Coordinates are kept to 4 decimals (about 10 m): finer than the source's quantisation step
// (0.0036° of longitude), so rounding loses nothing that the data had.
const DECIMALS = 4;

// Features without an ISO numeric id, by their Natural Earth name. Northern Cyprus and
// Somaliland have no ISO code; they go with the state that ISO 3166 counts them under.
// The Siachen Glacier (disputed, no code) is left out.
const codesByName = {
    'Kosovo': 'XK',
    'N. Cyprus': 'CY',
    'Somaliland': 'SO',
    'Indian Ocean Ter.': 'AU',
};

// Overseas parts that Natural Earth keeps inside their state's feature but that have codes of
// their own: a polygon moves when its outer ring lies within the box [west, south, east, north].
const carveOuts = [
    { code: 'GF', from: 'FR', box: [-55.0, 1.5, -51.0, 6.5] },
    { code: 'GP', from: 'FR', box: [-62.0, 15.7, -60.9, 16.7] },
    { code: 'MQ', from: 'FR', box: [-61.4, 14.3, -60.7, 15.0] },
    { code: 'RE', from: 'FR', box: [55.0, -21.6, 56.0, -20.6] },
    { code: 'YT', from: 'FR', box: [44.9, -13.1, 45.4, -12.5] },
    { code: 'BQ', from: 'NL', box: [-68.5, 11.9, -68.0, 12.4] },
    { code: 'BQ', from: 'NL', box: [-63.4, 17.3, -62.8, 17.8] },
    { code: 'SJ', from: 'NO', box: [5.0, 73.5, 36.0, 81.5] },
    { code: 'SJ', from: 'NO', box: [-9.5, 70.5, -7.5, 71.5] },
    { code: 'CX', from: 'AU', box: [105.4, -10.7, 105.9, -10.3] },
    { code: 'CC', from: 'AU', box: [96.7, -12.4, 97.1, -11.8] },
];

// The codes of the representative-point table, and the rows that are fixed by hand: some
// well-known centres, and codes that have no outline (former, partial or too small at 1:50m).
const pointCodes = `AD AE AF AG AI AL AM AN AO AQ AR AS AT AU AW AZ BA BB BD BE BF BG BH BI BJ BM BN BO BR
BS BT BV BW BY BZ CA CC CD CF CG CH CI CK CL CM CN CO CR CU CV CX CY CZ DE DJ DK DM DO DZ EC EE EG EH
ER ES ET FI FJ FK FM FO FR GA GB GD GE GF GG GH GI GL GM GN GP GQ GR GS GT GU GW GY GZ HK HM HN HR HT
HU ID IE IL IM IN IO IQ IR IS IT JE JM JO JP KE KG KH KI KM KN KP KR KW KY KZ LA LB LC LI LK LR LS LT
LU LV LY MA MC MD ME MG MH MK ML MM MN MO MP MQ MR MS MT MU MV MW MX MY MZ NA NC NE NF NG NI NL NO NP
NR NU NZ OM PA PE PF PG PH PK PL PM PN PR PS PT PW PY QA RE RO RS RU RW SA SB SC SD SE SG SH SI SJ SK
SL SM SN SO SR ST SV SY SZ TC TD TF TG TH TJ TK TL TM TN TO TR TT TV TW TZ UA UG UM US UY UZ VA VC VE
VG VI VN VU WF WS XK YE YT ZA ZM ZW`.split(/\s+/);
const fixedPoints = {
    AD: [42.546245, 1.601554],
    AN: [12.226079, -69.060087], // Netherlands Antilles (dissolved 2010): Curaçao
    AQ: [-75.250973, -0.071389],
    CH: [46.818188, 8.227512],
    DE: [51.165691, 10.451526],
    GZ: [31.354676, 34.308825], // Gaza Strip
    US: [37.09024, -95.712891],
    XK: [42.602636, 20.902977],
    BV: [-54.4232, 3.4139], // Bouvet Island
    GI: [36.1408, -5.3536], // Gibraltar
    TK: [-9.1683, -171.8092], // Tokelau: Nukunonu
    TV: [-8.5211, 179.1983], // Tuvalu: Funafuti
    UM: [19.2823, 166.647], // U.S. Minor Outlying Islands: Wake Island
};

function fail(message) {
    console.error(message);
    process.exit(1);
}

const round = (v) => Number(v.toFixed(DECIMALS));

function roundRing(ring) {
    const out = [];
    for (const [x, y] of ring) {
        const p = [round(x), round(y)];
        const last = out[out.length - 1];
        if (!last || last[0] !== p[0] || last[1] !== p[1])
            out.push(p);
    }
    if (out.length > 1 && out[0][0] === out[out.length - 1][0] && out[0][1] === out[out.length - 1][1])
        out.pop();
    if (out.length < 3)
        return null; // collapsed to a point or a line by rounding
    out.push([out[0][0], out[0][1]]);
    return out;
}

function bbox(ring) {
    let [w, s, e, n] = [Infinity, Infinity, -Infinity, -Infinity];
    for (const [x, y] of ring) {
        w = Math.min(w, x); e = Math.max(e, x);
        s = Math.min(s, y); n = Math.max(n, y);
    }
    return [w, s, e, n];
}

// The source is meant for spherical drawing; two kinds of rings need work before they can be
// tested in the plane:
// - rings that hop from +180 to -180 and back (Chukotka, Fiji): as they stand they would cover
//   a band round the whole globe. They are unwrapped so the longitudes run on, then cut at
//   ±180 into pieces that each lie within [-180, 180].
// - Antarctica: its outer ring is a circle round the pole (a line in the plane) and its coast
//   a ring round the pole. The circle goes; the coast is closed along the pole's edge of the
//   plane and becomes the outer ring.
function clipRing(ring, inside, cross) {
    const out = [];
    for (let i = 0; i + 1 < ring.length; ++i) {
        const a = ring[i], b = ring[i + 1];
        if (inside(a)) {
            out.push(a);
            if (!inside(b))
                out.push(cross(a, b));
        } else if (inside(b)) {
            out.push(cross(a, b));
        }
    }
    if (out.length < 3)
        return null;
    out.push(out[0]);
    return out;
}

function crossAt(x) {
    return (a, b) => [x, a[1] + (b[1] - a[1]) * (x - a[0]) / (b[0] - a[0])];
}

function unwrap(ring) {
    let offset = 0;
    return ring.map((p, i) => {
        if (i > 0) {
            const dx = p[0] - ring[i - 1][0];
            if (dx > 180) offset -= 360;
            else if (dx < -180) offset += 360;
        }
        return [p[0] + offset, p[1]];
    });
}

function toPlane(polygon) {
    const rings = [];
    for (const ring of polygon) {
        const [, s, , n] = bbox(ring);
        if (s === n)
            continue; // a circle of latitude: no area in the plane
        const u = unwrap(ring);
        const first = u[0], last = u[u.length - 1];
        if (last[0] !== first[0]) {
            // Round a pole: run on to the starting meridian, then along the pole's edge.
            const pole = s < 0 ? -90 : 90;
            u.push([last[0], pole], [first[0], pole], first);
        }
        rings.push(u);
    }
    if (rings.length === 0)
        return [];
    if (rings.every((r) => r.every(([x]) => x >= -180 && x <= 180)))
        return [rings.map(roundRing)].filter((r) => r[0]).map((r) => r.filter((ring) => ring));

    const pieces = [
        { shift: 0, clip: (r) => { const c = clipRing(r, (p) => p[0] <= 180, crossAt(180)); return c && clipRing(c, (p) => p[0] >= -180, crossAt(-180)); } },
        { shift: -360, clip: (r) => clipRing(r, (p) => p[0] >= 180, crossAt(180)) },
        { shift: 360, clip: (r) => clipRing(r, (p) => p[0] <= -180, crossAt(-180)) },
    ];
    const result = [];
    for (const piece of pieces) {
        const clipped = rings.map((r) => {
            const c = piece.clip(r);
            return c && roundRing(c.map(([x, y]) => [x + piece.shift, y]));
        });
        if (clipped[0])
            result.push(clipped.filter((r) => r));
    }
    return result;
}

const within = (b, box) => b[0] >= box[0] && b[1] >= box[1] && b[2] <= box[2] && b[3] <= box[3];

// Planar area of a ring in square degrees, scaled by the cosine of its mean latitude.
function ringArea(ring) {
    let a = 0, lat = 0;
    for (let i = 0; i + 1 < ring.length; ++i) {
        a += ring[i][0] * ring[i + 1][1] - ring[i + 1][0] * ring[i][1];
        lat += ring[i][1];
    }
    lat /= ring.length - 1;
    return Math.abs(a / 2) * Math.cos(lat * Math.PI / 180);
}

// Non-zero winding rule, as the application tests points.
function windingContains(ring, x, y) {
    let wn = 0;
    for (let i = 0; i + 1 < ring.length; ++i) {
        const [x0, y0] = ring[i], [x1, y1] = ring[i + 1];
        const side = (x1 - x0) * (y - y0) - (x - x0) * (y1 - y0);
        if (y0 <= y) {
            if (y1 > y && side > 0) ++wn;
        } else if (y1 <= y && side < 0) {
            --wn;
        }
    }
    return wn !== 0;
}

// --- outlines ------------------------------------------------------------------------------

const iso = JSON.parse(fs.readFileSync(isoCodesFile, 'utf8'))['3166-1'];
const alpha2ByNumeric = new Map(iso.map((c) => [c.numeric, c.alpha_2]));

const topologyFile = require.resolve('world-atlas/countries-50m.json');
const topology = JSON.parse(fs.readFileSync(topologyFile, 'utf8'));
const collection = topojson.feature(topology, topology.objects.countries);

const polygonsByCode = new Map(); // code -> list of polygons (lists of rings)
for (const feature of collection.features) {
    const code = alpha2ByNumeric.get(feature.id) ?? codesByName[feature.properties.name];
    if (!code) {
        console.error(`skipped: ${feature.properties.name} (id ${feature.id})`);
        continue;
    }
    const g = feature.geometry;
    const polygons = g.type === 'Polygon' ? [g.coordinates] : g.type === 'MultiPolygon' ? g.coordinates : [];
    const list = polygonsByCode.get(code) ?? [];
    for (const polygon of polygons) {
        list.push(...toPlane(polygon));
    }
    polygonsByCode.set(code, list);
}

for (const { code, from, box } of carveOuts) {
    const source = polygonsByCode.get(from) ?? fail(`no outline for ${from}`);
    const moved = source.filter((p) => within(bbox(p[0]), box));
    if (moved.length === 0)
        fail(`carve-out ${code} from ${from}: no polygon in its box`);
    polygonsByCode.set(from, source.filter((p) => !moved.includes(p)));
    polygonsByCode.set(code, [...(polygonsByCode.get(code) ?? []), ...moved]);
}

const codes = [...polygonsByCode.keys()].sort();
const features = codes.map((code) => {
    const polygons = polygonsByCode.get(code);
    const geometry = polygons.length === 1
        ? { type: 'Polygon', coordinates: polygons[0] }
        : { type: 'MultiPolygon', coordinates: polygons };
    return JSON.stringify({ type: 'Feature', properties: { ISO_A2: code }, geometry });
});
const geojson = `{"type":"FeatureCollection","features":[\n${features.join(',\n')}\n]}\n`;
const geojsonFile = path.join(root, 'resources/geo/ne-countries-50m.geojson');
fs.writeFileSync(geojsonFile, geojson);
console.error(`${path.relative(root, geojsonFile)}: ${features.length} countries, ${geojson.length} bytes`);

// --- representative points -----------------------------------------------------------------

// Area-weighted centre of a ring.
function centroid(ring) {
    let a = 0, cx = 0, cy = 0;
    for (let i = 0; i + 1 < ring.length; ++i) {
        const [x0, y0] = ring[i], [x1, y1] = ring[i + 1];
        const f = x0 * y1 - x1 * y0;
        a += f;
        cx += (x0 + x1) * f;
        cy += (y0 + y1) * f;
    }
    return [cx / (3 * a), cy / (3 * a)];
}

function distanceToEdges(polygon, x, y) {
    let best = Infinity;
    for (const ring of polygon) {
        for (let i = 0; i + 1 < ring.length; ++i) {
            const [x0, y0] = ring[i], [x1, y1] = ring[i + 1];
            const dx = x1 - x0, dy = y1 - y0;
            const t = dx || dy ? Math.max(0, Math.min(1, ((x - x0) * dx + (y - y0) * dy) / (dx * dx + dy * dy))) : 0;
            best = Math.min(best, Math.hypot(x - x0 - t * dx, y - y0 - t * dy));
        }
    }
    return best;
}

const insidePolygon = (polygon, x, y) =>
    windingContains(polygon[0], x, y) && !polygon.slice(1).some((hole) => windingContains(hole, x, y));

// A point well inside the country's largest polygon: its centre when that lies on land and
// not close to a coast or border, otherwise the point farthest from every edge (the pole of
// inaccessibility), which a curved or hollow country such as Croatia or Canada needs.
function interiorPoint(code) {
    const polygons = polygonsByCode.get(code);
    if (!polygons || polygons.length === 0)
        return null;
    const largest = polygons.reduce((a, b) => (ringArea(b[0]) > ringArea(a[0]) ? b : a));
    const [w, s, e, n] = bbox(largest[0]);
    const precision = Math.max(Math.min(e - w, n - s) / 1000, 1e-6);
    const pole = polylabel(largest, precision);
    const centre = centroid(largest[0]);
    const [x, y] = insidePolygon(largest, ...centre) && distanceToEdges(largest, ...centre) >= pole.distance / 3
        ? centre
        : pole;
    return [Number(y.toFixed(6)), Number(x.toFixed(6))];
}

// Holes are not used, so an enclave (San Marino in Italy) is also inside the country round it;
// the application lets the smallest outline win, and so does this check.
const allRings = codes.flatMap((c) => polygonsByCode.get(c).map((p) => ({ code: c, ring: p[0], area: ringArea(p[0]) })))
    .sort((a, b) => a.area - b.area);
const ownerOf = (x, y) => allRings.find((r) => windingContains(r.ring, x, y))?.code;

const rows = [];
for (const code of pointCodes) {
    const point = fixedPoints[code] ?? interiorPoint(code) ?? fail(`no outline and no fixed point for ${code}`);
    if (!fixedPoints[code]) {
        const [lat, lon] = point;
        const owner = ownerOf(lon, lat);
        if (owner !== code)
            fail(`${code}: the point (${lat}, ${lon}) lies in ${owner ?? 'no country'}`);
    }
    rows.push(`    {"${code}", ${point[0]}, ${point[1]}},`);
}

const cpp = `// Generated by tools/geo/make-outlines.mjs from the Natural Earth 1:50m country outlines.
// Do not edit by hand: change the tool and run it again.
#include "geo/CountryTables.h"

#include <array>

namespace countries {

namespace {

constexpr std::array<RepresentativePoint, ${rows.length}> kPoints{{
${rows.join('\n')}
}};

} // namespace

std::span<const RepresentativePoint> representativePoints() {
    return kPoints;
}

} // namespace countries
`;
const cppFile = path.join(root, 'geo/RepresentativePoints.cpp');
fs.writeFileSync(cppFile, cpp);
console.error(`${path.relative(root, cppFile)}: ${rows.length} rows`);
