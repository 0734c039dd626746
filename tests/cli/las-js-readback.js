// Every bundled sample exported with orvek-cli export-las and read back with las-js, an independent
// reader from the npm registry, against the samples orvek-cli itself prints (info, samples):
// version, wrap, curves and units, the well items, and every value of every row.
// Usage: node las-js-readback.js ORVEK_CLI SAMPLES_DIR WORK_DIR   (las-js found through NODE_PATH)
'use strict';
const { Las } = require('las-js');
const { execFileSync } = require('child_process');
const fs = require('fs');
const path = require('path');

const [cli, samplesDir, workDir] = process.argv.slice(2);
const run = (...args) => execFileSync(cli, args, { encoding: 'utf8' });
// info prints acquisition texts as their widened bytes (0x80..0xFF as U+FF80..U+FFFF); the log
// holds them decoded from code page 936 where they are valid code page 936.
const decoded = text => {
  const bytes = Buffer.from([...text].map(c => c.charCodeAt(0) & 0xff));
  try {
    return new TextDecoder('gbk', { fatal: true }).decode(bytes);
  } catch {
    return text;
  }
};
let failures = 0;
const expect = (ok, what) => {
  if (!ok) {
    console.error(`FAILED: ${what}`);
    failures++;
  }
  return ok;
};

async function check(cdd) {
  const name = path.basename(cdd);
  const out = path.join(workDir, name.replace(/\.cdd$/i, '.las'));
  run('export-las', cdd, '-o', out);
  const info = JSON.parse(run('info', cdd));
  const lines = run('samples', cdd).trim().split('\n');
  const column = Object.fromEntries(lines[0].split(',').map((c, i) => [c, i]));
  const samples = lines.slice(1).map(l => l.split(',').map(Number));

  const las = new Las(out);
  expect((await las.version()) === 2, `${name}: version ${await las.version()}`);
  expect((await las.wrap()) === false, `${name}: wrapped`);
  const curves = await las.curveParams();
  const names = Object.entries(curves).map(([m, c]) => `${m}.${c.unit}`).join(' ');
  expect(names === 'DEPT.M X.nT Y.nT Z.nT GX.nT/m GY.nT/m GZ.nT/m', `${name}: curves ${names}`);
  const well = await las.wellParams();
  const items = ['STRT', 'STOP', 'STEP', 'NULL', 'WELL', 'FLD', 'PROJ', 'DATE'].map(m => well[m].value).join('|');
  const first = samples[samples.length - 1][column.depth];
  const wanted = [first, samples[0][column.depth], info.step / 100, -999.25, decoded(info.pileNo),
    decoded(info.site), decoded(info.project), info.testDate].join('|');
  expect(items === wanted, `${name}: well items ${items}, not ${wanted}`);
  const params = await las.logParams();
  expect(Number(params.STEP_CM.value) === info.step && params.SMOOTH.value === '1', `${name}: parameters`);

  const rows = await las.data();
  if (!expect(rows.length === info.count && samples.length === info.count, `${name}: ${rows.length} rows`))
    return;
  rows.forEach((row, r) => {
    const s = samples[samples.length - 1 - r];  // the log runs shallowest first, sample 0 is the deepest
    const values = [s[column.depth], s[column.sx], s[column.sy], s[column.sz]];
    // Gradients: the smoothed difference x 100 / step, to two decimals.
    for (const d of ['sdx', 'sdy', 'sdz']) values.push((s[column[d]] * 100) / info.step);
    const same = row.length === 7 && row.every((v, i) => Math.abs(v - values[i]) <= (i < 4 ? 0 : 0.00501));
    expect(same, `${name} row ${r}: ${row.join(' ')}, not ${values.join(' ')}`);
  });
}

(async () => {
  const files = fs.readdirSync(samplesDir).filter(f => /\.cdd$/i.test(f)).sort();
  expect(files.length > 0, `no sample in ${samplesDir}`);
  fs.mkdirSync(workDir, { recursive: true });
  for (const f of files) await check(path.join(samplesDir, f));
  console.log(`las-js read ${files.length} exports, ${failures} failure(s)`);
  process.exit(failures ? 1 : 0);
})().catch(e => {
  console.error(e);
  process.exit(1);
});
