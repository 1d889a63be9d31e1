// Shared by the test pages: the service's port from the address, kavel.js loaded from
// the service as any page loads it, and results sent back to the test's web server.
const params = new URLSearchParams(location.search);
const SERVICE_PORT = Number(params.get('service'));
const TASK = params.get('task') || 'serve check';

function report(name, value) {
  return fetch('/report?name=' + name, { method: 'POST', body: JSON.stringify(value) });
}

function loadKavel() {
  return new Promise((resolve, reject) => {
    const script = document.createElement('script');
    script.src = 'http://127.0.0.1:' + SERVICE_PORT + '/kavel.js';
    script.onload = () => resolve(window.Kavel);
    script.onerror = () => reject(new Error('kavel.js did not load'));
    document.head.appendChild(script);
  });
}

function waitFor(check, what, ms = 20000) {
  return new Promise((resolve, reject) => {
    const start = Date.now();
    (function poll() {
      const value = check();
      if (value) return resolve(value);
      if (Date.now() - start > ms) return reject(new Error('timed out waiting for ' + what));
      setTimeout(poll, 50);
    })();
  });
}
