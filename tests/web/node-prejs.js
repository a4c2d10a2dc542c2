// Under Node.js a test program sees the process's environment (ctest's, the test's), and Qt finds
// the navigator from which it reads the system's languages.
if (typeof process === 'object' && typeof navigator === 'undefined')
  globalThis.navigator = {language: 'ja-JP', languages: ['ja-JP'], userAgent: 'Node.js'};
Module.preRun = [].concat(Module.preRun || [], () => Object.assign(ENV, process.env));
